#pragma once
// Reading the stand-in client's event log, for tests. Header-only and portable.
//
// The log has one JSON object per line, written and flushed one event at a
// time, so it can be read while the stand-in runs:
//   {"t":1.250,"event":"chat","room":"Lobby 1","hwnd":65612,"hex":"3c62...","text":"<b..."}
// Every event has "t" (seconds since the stand-in started) and "event".
//
//   ReadEvents(log)                 every complete line read so far, in order
//   WaitForEvent(log, match, ms)    polls until an event matches or time is up
//   Named("im"), Named("closed", "caption", "Send Instant Message")
//                                   ready-made predicates for WaitForEvent/Count
//   ChatBytes(events)               the chat lines' exact bytes, in order
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

namespace standin_log {

// One event. Values are kept as text: strings unescaped (UTF-8), numbers and
// true/false as written.
struct Event {
    std::map<std::string, std::string> fields;

    std::string Get(const std::string& key) const {
        const auto it = fields.find(key);
        return it == fields.end() ? std::string() : it->second;
    }
    std::string Name() const { return Get("event"); }
    double Time() const { return std::atof(Get("t").c_str()); }
    long long Number(const std::string& key) const { return std::atoll(Get(key).c_str()); }
};

using Match = std::function<bool(const Event&)>;

namespace detail {

inline void AppendUtf8(std::string& out, unsigned c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

inline int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// A JSON string starting at line[pos] == '"'; pos ends after the closing quote.
inline std::optional<std::string> ParseString(std::string_view line, size_t& pos) {
    std::string out;
    for (++pos; pos < line.size(); ++pos) {
        const char c = line[pos];
        if (c == '"') {
            ++pos;
            return out;
        }
        if (c != '\\') {
            out += c;
            continue;
        }
        if (++pos >= line.size()) return std::nullopt;
        switch (line[pos]) {
        case 'n':
            out += '\n';
            break;
        case 'r':
            out += '\r';
            break;
        case 't':
            out += '\t';
            break;
        case 'b':
            out += '\b';
            break;
        case 'f':
            out += '\f';
            break;
        case 'u': {
            if (pos + 4 >= line.size()) return std::nullopt;
            unsigned code = 0;
            for (int i = 1; i <= 4; ++i) {
                const int d = HexDigit(line[pos + i]);
                if (d < 0) return std::nullopt;
                code = code * 16 + static_cast<unsigned>(d);
            }
            AppendUtf8(out, code);
            pos += 4;
            break;
        }
        default:
            out += line[pos]; // '"', '\\', '/'
        }
    }
    return std::nullopt;
}

} // namespace detail

// One line as an event; nullopt when it is not a flat JSON object.
inline std::optional<Event> ParseEvent(std::string_view line) {
    Event event;
    size_t pos = 0;
    auto skipSpace = [&] {
        while (pos < line.size() && (line[pos] == ' ' || line[pos] == '\t')) ++pos;
    };
    skipSpace();
    if (pos >= line.size() || line[pos] != '{') return std::nullopt;
    ++pos;
    skipSpace();
    if (pos < line.size() && line[pos] == '}') return event;
    while (pos < line.size()) {
        skipSpace();
        if (pos >= line.size() || line[pos] != '"') return std::nullopt;
        auto key = detail::ParseString(line, pos);
        if (!key) return std::nullopt;
        skipSpace();
        if (pos >= line.size() || line[pos] != ':') return std::nullopt;
        ++pos;
        skipSpace();
        if (pos >= line.size()) return std::nullopt;
        if (line[pos] == '"') {
            auto value = detail::ParseString(line, pos);
            if (!value) return std::nullopt;
            event.fields[*key] = *value;
        } else {
            const size_t end = line.find_first_of(",}", pos);
            if (end == std::string_view::npos || end == pos) return std::nullopt;
            size_t last = end;
            while (last > pos && (line[last - 1] == ' ' || line[last - 1] == '\t')) --last;
            event.fields[*key] = std::string(line.substr(pos, last - pos));
            pos = end;
        }
        skipSpace();
        if (pos >= line.size()) return std::nullopt;
        if (line[pos] == '}') return event;
        if (line[pos] != ',') return std::nullopt;
        ++pos;
    }
    return std::nullopt;
}

// Every complete line of the log (a line still being written is left for the
// next read). A missing file gives no events.
inline std::vector<Event> ReadEvents(const std::filesystem::path& log) {
    std::vector<Event> events;
    std::ifstream in(log, std::ios::binary);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t start = 0;
    for (size_t end; (end = text.find('\n', start)) != std::string::npos; start = end + 1) {
        std::string_view line(text.data() + start, end - start);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        if (auto event = ParseEvent(line)) events.push_back(std::move(*event));
    }
    return events;
}

// Events called name (and, when key is given, whose key holds value).
inline Match Named(std::string name, std::string key = {}, std::string value = {}) {
    return [name = std::move(name), key = std::move(key), value = std::move(value)](
               const Event& e) { return e.Name() == name && (key.empty() || e.Get(key) == value); };
}

inline size_t Count(const std::vector<Event>& events, const Match& match) {
    size_t n = 0;
    for (const Event& e : events) n += match(e) ? 1 : 0;
    return n;
}

// Polls the log every 20 ms until the count-th event (1 = the first) that
// matches is there; nullopt when timeout passes first.
inline std::optional<Event> WaitForEvent(const std::filesystem::path& log, const Match& match,
                                         std::chrono::milliseconds timeout, size_t count = 1) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        size_t seen = 0;
        for (const Event& e : ReadEvents(log)) {
            if (match(e) && ++seen == count) return e;
        }
        if (std::chrono::steady_clock::now() >= deadline) return std::nullopt;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Hex digits back to bytes; an odd or bad digit ends the conversion.
inline std::string FromHex(std::string_view hex) {
    std::string bytes;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) {
        const int high = detail::HexDigit(hex[i]), low = detail::HexDigit(hex[i + 1]);
        if (high < 0 || low < 0) break;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

// The exact bytes of every line that reached a chat room, in order.
inline std::vector<std::string> ChatBytes(const std::vector<Event>& events) {
    std::vector<std::string> lines;
    for (const Event& e : events) {
        if (e.Name() == "chat") lines.push_back(FromHex(e.Get("hex")));
    }
    return lines;
}

} // namespace standin_log
