#include "engine/announce.h"
#include <initializer_list>
#include <string_view>

namespace announce {
namespace {

constexpr std::wstring_view kFrame = L"<font color=\"#000080\"><font face=\"arial narrow\"";
// The program tag and the field separator, outside ASCII but all in
// Windows-1252: • › ‹ ·
constexpr std::wstring_view kTag = L"></b>\u2022[\u203Avex\u2039]";
constexpr std::wstring_view kSep = L" \u00B7 ";
constexpr std::wstring_view kOn = L"\u00F8n";   // "øn"
constexpr std::wstring_view kOff = L"\u00F8ff"; // "øff"
// The anchor every link line ends with: a stray end-of-anchor tag, the start
// tag with a blank after its bracket, the address in quotes, the blue text.
constexpr std::wstring_view kAnchorOpen = L"</a>< a href=\"";
constexpr std::wstring_view kAnchorText = L"\"></u><font color=\"#0000ff\">";
constexpr std::wstring_view kAnchorClose = L"</a>";

// The frame, the tag, then the pieces of the tail, in one string.
std::wstring Line(std::initializer_list<std::wstring_view> tail) {
    std::wstring line(kFrame);
    line += kTag;
    for (std::wstring_view piece : tail) line += piece;
    return line;
}

// A link line: the separator, what the link is for (the advert names the
// program), then the anchor.
std::wstring Link(std::wstring_view what, const std::wstring& address, const std::wstring& text) {
    return Line({kSep, what, kAnchorOpen, address, kAnchorText, text, kAnchorClose});
}

std::wstring Switch(std::wstring_view what, bool on) {
    return Line({kSep, what, kSep, on ? kOn : kOff});
}

} // namespace

const std::wstring& Frame() {
    static const std::wstring frame(kFrame);
    return frame;
}

std::wstring StatusLine(const std::wstring& count, const std::wstring& reason) {
    return Line({kSep, count, kSep, reason});
}

std::wstring LinkLine(const std::wstring& address, const std::wstring& text) {
    return Link({}, address, text);
}

std::wstring LoadLine() {
    return Line({L" \u00B7 [Zorvik]  \u00B7  L\u00F8\u00E5d"});
}

std::wstring SiteLinkLine() {
    return LinkLine(kSiteAddress, L"download me");
}

std::wstring UnloadLine() {
    return Line({L" \u00B7 [Zorvik]  \u00B7  Unl\u00F8\u00E5d"});
}

std::wstring ClosingUnloadLine() {
    return Line({L"  \u00B7  [Zorvik]  \u00B7  Unl\u00F8\u00E5d"});
}

std::wstring AdvertLine() {
    return Line({L" \u00B7 [Zorvik] \u00B7 AOL 5.0 Idle"});
}

std::wstring AdvertLinkLine() {
    return Link(L"[Zorvik] \u00B7 ", kSiteAddress, L"download me");
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
    return Line({kSep, L"User", kSep, screenName});
}

std::wstring TotalLine(const std::wstring& storedTotal) {
    return Line({kSep, L"Total Idled", kSep, storedTotal, L" min(s)"});
}

} // namespace announce
