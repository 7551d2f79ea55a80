#include "standin/options.h"
#include <cmath>
#include <cwchar>

namespace standin {
namespace {

// A week: longer than any test or demo, short enough for a 32-bit timer in ms.
constexpr double kMaxSeconds = 7 * 24 * 3600.0;
constexpr int kMaxRooms = 20;

bool ParseSeconds(const std::wstring& text, double& out) {
    if (text.empty()) return false;
    wchar_t* end = nullptr;
    const double value = std::wcstod(text.c_str(), &end);
    if (*end != L'\0' || !std::isfinite(value) || value < 0 || value > kMaxSeconds) return false;
    out = value;
    return true;
}

bool ParseCount(const std::wstring& text, int low, int high, int& out) {
    if (text.empty() || text.size() > 6) return false;
    int value = 0;
    for (wchar_t c : text) {
        if (c < L'0' || c > L'9') return false;
        value = value * 10 + (c - L'0');
    }
    if (value < low || value > high) return false;
    out = value;
    return true;
}

bool ParseDecoys(const std::wstring& text, std::vector<Decoy>& out) {
    static const struct {
        const wchar_t* name;
        Decoy decoy;
    } kNames[] = {{L"no-richcntl", Decoy::NoRichcntl},
                  {L"no-listbox", Decoy::NoListbox},
                  {L"no-icon", Decoy::NoIcon},
                  {L"no-static", Decoy::NoStatic},
                  {L"grandchildren", Decoy::Grandchildren},
                  {L"one-richcntl", Decoy::OneRichcntl}};
    std::vector<Decoy> decoys;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(L',', start);
        const std::wstring item =
            text.substr(start, comma == std::wstring::npos ? std::wstring::npos : comma - start);
        if (item == L"all") { // the five that fail the chat-room test
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
        if (comma == std::wstring::npos) break;
        start = comma + 1;
    }
    out = decoys;
    return true;
}

// Applies one "--key=value" (hasValue) or "--key"; false when not understood.
bool Apply(Options& o, const std::wstring& key, bool hasValue, const std::wstring& value) {
    if (!hasValue) {
        bool* flag = key == L"prompt-decoy"   ? &o.promptDecoy
                     : key == L"im-open"      ? &o.imOpen
                     : key == L"no-box"       ? &o.noBox
                     : key == L"box-open"     ? &o.boxOpen
                     : key == L"send-on-down" ? &o.sendOnDown
                                              : nullptr;
        if (flag) *flag = true;
        return flag != nullptr;
    }
    if (key == L"rooms") return ParseCount(value, 0, kMaxRooms, o.rooms);
    if (key == L"prompts") return ParseCount(value, 1, 2, o.prompts);
    if (key == L"im-icons") return ParseCount(value, 0, 20, o.imIcons);
    if (key == L"decoys") return ParseDecoys(value, o.decoys);
    if (key == L"idle-after") return ParseSeconds(value, o.idleAfter);
    if (key == L"signoff-after") return ParseSeconds(value, o.signOffAfter);
    if (key == L"hang-at") return ParseSeconds(value, o.hangAt);
    if (key == L"hang-for") return ParseSeconds(value, o.hangFor);
    if (key == L"im-delay") return ParseSeconds(value, o.imDelay);
    if (key == L"box-delay") return ParseSeconds(value, o.boxDelay);
    if (key == L"box-button-after") return ParseSeconds(value, o.boxButtonAfter);
    if (key == L"quit-after") return ParseSeconds(value, o.quitAfter);
    if (key == L"notify") {
        if (value.empty() || value.size() > 10 ||
            value.find_first_not_of(L"0123456789") != std::wstring::npos)
            return false;
        o.notify = std::wcstoul(value.c_str(), nullptr, 10);
    } else if (key == L"name") {
        o.name = value;
    } else if (key == L"welcome") {
        o.welcomes.push_back(value);
    } else if (key == L"log" && !value.empty()) {
        o.log = value;
    } else if (key == L"im-open") {
        o.imOpen = true;
        o.imOpenTo = value;
    } else {
        return false;
    }
    return true;
}

} // namespace

ParseResult ParseOptions(const std::vector<std::wstring>& args) {
    ParseResult result;
    for (const std::wstring& arg : args) {
        if (arg.rfind(L"--", 0) != 0) {
            result.error = L"not an option: " + arg;
            return result;
        }
        const size_t equals = arg.find(L'=');
        const bool hasValue = equals != std::wstring::npos;
        const std::wstring key = arg.substr(2, hasValue ? equals - 2 : std::wstring::npos);
        const std::wstring value = hasValue ? arg.substr(equals + 1) : std::wstring();
        if (!Apply(result.options, key, hasValue, value)) {
            result.error = L"bad option: " + arg;
            return result;
        }
    }
    return result;
}

const wchar_t* Usage() {
    return L"standin [--name=SCREEN NAME] [--rooms=N] [--decoys=KIND,...|all]\n"
           L"  [--welcome=CAPTION]... [--idle-after=S] [--signoff-after=S] [--prompts=1|2]\n"
           L"  [--prompt-decoy] [--hang-at=S --hang-for=S] [--im-icons=N] [--im-open[=TO]]\n"
           L"  [--no-box] [--im-delay=S] [--box-delay=S] [--box-open] [--quit-after=S]\n"
           L"  [--box-button-after=S] [--send-on-down] [--notify=HWND] [--log=FILE]\n"
           L"KIND: no-richcntl, no-listbox, no-icon, no-static, grandchildren, one-richcntl\n";
}

} // namespace standin
