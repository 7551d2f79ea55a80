#include "standin/options.h"
#include <algorithm>
#include <cstdlib>

namespace standin {
namespace {

// A week: longer than any test or demo, short enough for a 32-bit timer in ms.
constexpr double kMaxSeconds = 7 * 24 * 3600.0;
constexpr int kMaxRooms = 20;

// Digits with a decimal point or none ("90", "0.25"), read here: strtod's
// library code would add some 20 KB to the program.
bool ParseSeconds(const std::string& text, double& out) {
    double digits = 0, scale = 1;
    bool point = false, digit = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            digit = true;
            digits = digits * 10 + (c - '0');
            if (point) scale *= 10;
        } else {
            return false;
        }
    }
    const double value = digits / scale;
    if (!digit || !(value <= kMaxSeconds)) return false;
    out = value;
    return true;
}

bool ParseCount(const std::string& text, int low, int high, int& out) {
    if (text.empty() || text.size() > 6) return false;
    int value = 0;
    for (char c : text) {
        if (c < '0' || c > '9') return false;
        value = value * 10 + (c - '0');
    }
    if (value < low || value > high) return false;
    out = value;
    return true;
}

bool ParseDecoys(const std::string& text, std::vector<Decoy>& out) {
    static const struct {
        const char* name;
        Decoy decoy;
    } kNames[] = {{"no-richcntl", Decoy::NoRichcntl},
                  {"no-listbox", Decoy::NoListbox},
                  {"no-icon", Decoy::NoIcon},
                  {"no-static", Decoy::NoStatic},
                  {"grandchildren", Decoy::Grandchildren},
                  {"one-richcntl", Decoy::OneRichcntl}};
    std::vector<Decoy> decoys;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string item =
            text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (item == "all") { // the five that fail the chat-room test
            for (const auto& n : kNames) {
                if (n.decoy != Decoy::OneRichcntl) decoys.push_back(n.decoy);
            }
        } else {
            bool known = false;
            for (const auto& n : kNames) {
                if (item == n.name) {
                    decoys.push_back(n.decoy);
                    known = true;
                }
            }
            if (!known) return false;
        }
        if (comma == std::string::npos) break;
        start = comma + 1;
    }
    out = decoys;
    return true;
}

// Applies one "--key=value" (hasValue) or "--key"; false when not understood.
bool Apply(Options& o, const std::string& key, bool hasValue, const std::string& value) {
    if (!hasValue) {
        bool* flag = key == "prompt-decoy"   ? &o.promptDecoy
                     : key == "im-open"      ? &o.imOpen
                     : key == "no-box"       ? &o.noBox
                     : key == "box-open"     ? &o.boxOpen
                     : key == "send-on-down" ? &o.sendOnDown
                                             : nullptr;
        if (flag) *flag = true;
        return flag != nullptr;
    }
    if (key == "rooms") return ParseCount(value, 0, kMaxRooms, o.rooms);
    if (key == "prompts") return ParseCount(value, 1, 2, o.prompts);
    if (key == "im-icons") return ParseCount(value, 0, 20, o.imIcons);
    if (key == "decoys") return ParseDecoys(value, o.decoys);
    if (key == "idle-after") return ParseSeconds(value, o.idleAfter);
    if (key == "signoff-after") return ParseSeconds(value, o.signOffAfter);
    if (key == "hang-at") return ParseSeconds(value, o.hangAt);
    if (key == "hang-for") return ParseSeconds(value, o.hangFor);
    if (key == "hang-on-line") return ParseCount(value, 1, 999999, o.hangOnLine);
    if (key == "im-delay") return ParseSeconds(value, o.imDelay);
    if (key == "box-delay") return ParseSeconds(value, o.boxDelay);
    if (key == "box-button-after") return ParseSeconds(value, o.boxButtonAfter);
    if (key == "quit-after") return ParseSeconds(value, o.quitAfter);
    if (key == "notify") {
        if (value.empty() || value.size() > 10 ||
            value.find_first_not_of("0123456789") != std::string::npos)
            return false;
        o.notify = std::strtoul(value.c_str(), nullptr, 10);
    } else if (key == "name") {
        o.name = value;
    } else if (key == "welcome") {
        o.welcomes.push_back(value);
    } else if (key == "log" && !value.empty()) {
        o.log = value;
    } else if (key == "im-open") {
        o.imOpen = true;
        o.imOpenTo = value;
    } else {
        return false;
    }
    return true;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

// The program's name: quoted, or up to the first blank; no escapes in it.
size_t SkipProgramName(std::string_view line) {
    size_t i = 0;
    if (!line.empty() && line[0] == '"') i = std::min(line.find('"', 1), line.size());
    while (i < line.size() && !IsBlank(line[i])) ++i;
    return i;
}

} // namespace

std::vector<std::string> CommandLineArguments(std::string_view line) {
    std::vector<std::string> args;
    for (size_t i = SkipProgramName(line);;) {
        while (i < line.size() && IsBlank(line[i])) ++i;
        if (i == line.size()) return args;
        std::string arg;
        for (bool quoted = false; i < line.size() && (quoted || !IsBlank(line[i]));) {
            const size_t slashes = std::min(line.find_first_not_of('\\', i), line.size()) - i;
            i += slashes;
            if (i < line.size() && line[i] == '"') {
                arg.append(slashes / 2, '\\');
                if (slashes % 2)
                    arg += '"';
                else
                    quoted = !quoted;
                ++i;
            } else if (slashes) {
                arg.append(slashes, '\\');
            } else {
                arg += line[i++];
            }
        }
        args.push_back(std::move(arg));
    }
}

ParseResult ParseOptions(const std::vector<std::string>& args) {
    ParseResult result;
    for (const std::string& arg : args) {
        if (arg.rfind("--", 0) != 0) {
            result.error = "not an option: " + arg;
            return result;
        }
        const size_t equals = arg.find('=');
        const bool hasValue = equals != std::string::npos;
        const std::string key = arg.substr(2, hasValue ? equals - 2 : std::string::npos);
        const std::string value = hasValue ? arg.substr(equals + 1) : std::string();
        if (!Apply(result.options, key, hasValue, value)) {
            result.error = "bad option: " + arg;
            return result;
        }
    }
    return result;
}

const char* Usage() {
    return "standin [--name=SCREEN NAME] [--rooms=N] [--decoys=KIND,...|all]\n"
           "  [--welcome=CAPTION]... [--idle-after=S] [--signoff-after=S] [--prompts=1|2]\n"
           "  [--prompt-decoy] [--hang-at=S|--hang-on-line=N --hang-for=S] [--im-icons=N]\n"
           "  [--im-open[=TO]] [--no-box] [--im-delay=S] [--box-delay=S] [--box-open]\n"
           "  [--quit-after=S] [--box-button-after=S] [--send-on-down] [--notify=HWND]\n"
           "  [--log=FILE]\n"
           "KIND: no-richcntl, no-listbox, no-icon, no-static, grandchildren, one-richcntl\n";
}

} // namespace standin
