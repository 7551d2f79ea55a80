#include "standin/log_format.h"

namespace standin {
namespace {

constexpr char kHexDigits[] = "0123456789abcdef";

// Code points of 0x80-0x9F in Windows-1252.
constexpr char16_t kHigh1252[32] = {0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x008D, 0x017D, 0x008F,
                                    0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t c) {
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

} // namespace

Field Text(std::string key, std::string_view utf8) {
    return {std::move(key), JsonString(utf8)};
}

Field Number(std::string key, long long value) {
    return {std::move(key), std::to_string(value)};
}

Field Flag(std::string key, bool value) {
    return {std::move(key), value ? "true" : "false"};
}

std::vector<Field> Bytes(std::string_view bytes) {
    return {Text("hex", Hex(bytes)), Text("text", Cp1252ToUtf8(bytes))};
}

std::string Hex(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size() * 2);
    for (unsigned char b : bytes) {
        out += kHexDigits[b >> 4];
        out += kHexDigits[b & 15];
    }
    return out;
}

std::string Cp1252ToUtf8(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    for (unsigned char b : bytes) {
        AppendUtf8(out, b >= 0x80 && b < 0xA0 ? kHigh1252[b - 0x80] : b);
    }
    return out;
}

std::string JsonString(std::string_view utf8) {
    std::string out = "\"";
    for (unsigned char c : utf8) {
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c == 0x7F) {
            out += "\\u00";
            out += kHexDigits[c >> 4];
            out += kHexDigits[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string FormatEvent(double seconds, std::string_view event, const std::vector<Field>& fields) {
    // Seconds to the millisecond, as "%.3f" writes them, without printf's
    // formatting code (some 20 KB).
    const long long ms = static_cast<long long>(seconds * 1000 + 0.5);
    const std::string fraction = std::to_string(1000 + ms % 1000);
    std::string line = "{\"t\":" + std::to_string(ms / 1000) + "." + fraction.substr(1);
    line += ",\"event\":" + JsonString(event);
    for (const Field& f : fields) line += "," + JsonString(f.key) + ":" + f.json;
    return line + "}\n";
}

} // namespace standin
