#include "engine/announce.h"

namespace announce {
namespace {

// The program tag and the field separator, outside ASCII but all in
// Windows-1252: • › ‹ ·
constexpr const wchar_t* kTag = L"></b>\u2022[\u203Avex\u2039]";
constexpr const wchar_t* kSep = L" \u00B7 ";
constexpr const wchar_t* kOn = L"\u00F8n";   // "øn"
constexpr const wchar_t* kOff = L"\u00F8ff"; // "øff"

std::wstring Line(const std::wstring& tail) {
    return Frame() + tail;
}

// The anchor every link line ends with: a stray end-of-anchor tag, the start
// tag with a blank after its bracket, the address in quotes, the blue text.
std::wstring Anchor(const std::wstring& address, const std::wstring& text) {
    return L"</a>< a href=\"" + address + L"\"></u><font color=\"#0000ff\">" + text + L"</a>";
}

std::wstring Switch(const wchar_t* what, bool on) {
    return Line(kTag + std::wstring(kSep) + what + kSep + (on ? kOn : kOff));
}

} // namespace

const std::wstring& Frame() {
    static const std::wstring frame = L"<font color=\"#000080\"><font face=\"arial narrow\"";
    return frame;
}

std::wstring StatusLine(const std::wstring& count, const std::wstring& reason) {
    return Line(kTag + std::wstring(kSep) + count + kSep + reason);
}

std::wstring LinkLine(const std::wstring& address, const std::wstring& text) {
    return Line(kTag + std::wstring(kSep) + Anchor(address, text));
}

std::wstring LoadLine() {
    return Line(kTag + std::wstring(L" \u00B7 [Zorvik]  \u00B7  L\u00F8\u00E5d"));
}

std::wstring SiteLinkLine() {
    return LinkLine(kSiteAddress, L"download me");
}

std::wstring UnloadLine() {
    return Line(kTag + std::wstring(L" \u00B7 [Zorvik]  \u00B7  Unl\u00F8\u00E5d"));
}

std::wstring ClosingUnloadLine() {
    return Line(kTag + std::wstring(L"  \u00B7  [Zorvik]  \u00B7  Unl\u00F8\u00E5d"));
}

std::wstring AdvertLine() {
    return Line(kTag + std::wstring(L" \u00B7 [Zorvik] \u00B7 AOL 5.0 Idle"));
}

std::wstring AdvertLinkLine() {
    return Line(kTag + std::wstring(L" \u00B7 [Zorvik] \u00B7 ") +
                Anchor(kSiteAddress, L"download me"));
}

std::wstring SilentLine(bool on) {
    return Switch(L"Silent Mode", on);
}
std::wstring MouseLine(bool on) {
    return Switch(L"Mouse Movement", on);
}
std::wstring MessagesLine(bool on) {
    return Switch(L"Instant Messages", on);
}

std::wstring UserLine(const std::wstring& screenName) {
    return Line(kTag + std::wstring(L" \u00B7 User \u00B7 ") + screenName);
}

std::wstring TotalLine(const std::wstring& storedTotal) {
    return Line(kTag + std::wstring(L" \u00B7 Total Idled \u00B7 ") + storedTotal + L" min(s)");
}

} // namespace announce
