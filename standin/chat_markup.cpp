#include "standin/chat_markup.h"
#include <optional>
#include <utility>

namespace standin {
namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

bool IsLetter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

char Lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameWord(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (Lower(a[i]) != Lower(b[i])) return false;
    }
    return true;
}

std::string_view Trim(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

struct Tag {
    bool end = false;
    std::string_view name;
    std::string_view attributes;
    size_t length = 0; // from its "<" to its ">", both included
};

// The tag whose "<" is at text[at], if one starts there: "<", blanks, an
// optional "/", blanks, a letter, and a ">" somewhere after it. The client
// takes "< a href=" for an anchor, so the blanks are allowed.
std::optional<Tag> ReadTag(std::string_view text, size_t at) {
    Tag tag;
    size_t i = at + 1;
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i < text.size() && text[i] == '/') {
        tag.end = true;
        ++i;
        while (i < text.size() && IsBlank(text[i])) ++i;
    }
    if (i >= text.size() || !IsLetter(text[i])) return std::nullopt;
    const size_t close = text.find('>', i);
    if (close == std::string_view::npos) return std::nullopt;
    size_t nameEnd = i;
    while (nameEnd < close && !IsBlank(text[nameEnd]) && text[nameEnd] != '/') ++nameEnd;
    tag.name = text.substr(i, nameEnd - i);
    tag.attributes = text.substr(nameEnd, close - nameEnd);
    tag.length = close + 1 - at;
    return tag;
}

// The value of one attribute among a tag's: name=value, name="value" or
// name='value'. A quote left open runs to the end of the tag.
std::optional<std::string_view> Attribute(std::string_view attributes, std::string_view name) {
    const std::string_view a = attributes;
    size_t i = 0;
    auto skipBlanks = [&] {
        while (i < a.size() && IsBlank(a[i])) ++i;
    };
    while (i < a.size()) {
        while (i < a.size() && (IsBlank(a[i]) || a[i] == '/')) ++i;
        const size_t keyStart = i;
        while (i < a.size() && !IsBlank(a[i]) && a[i] != '=') ++i;
        const std::string_view key = a.substr(keyStart, i - keyStart);
        skipBlanks();
        if (i >= a.size() || a[i] != '=') continue; // a name without a value
        ++i;
        skipBlanks();
        std::string_view value;
        if (i < a.size() && (a[i] == '"' || a[i] == '\'')) {
            const char quote = a[i++];
            const size_t end = std::min(a.find(quote, i), a.size());
            value = a.substr(i, end - i);
            i = end + 1;
        } else {
            const size_t start = i;
            while (i < a.size() && !IsBlank(a[i])) ++i;
            value = a.substr(start, i - start);
        }
        if (SameWord(key, name)) return value;
    }
    return std::nullopt;
}

int HexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    c = Lower(c);
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    return -1;
}

// "#rrggbb" (the "#" may be left out); anything else is no colour.
std::optional<std::uint32_t> ParseColor(std::string_view value) {
    value = Trim(value);
    if (!value.empty() && value.front() == '#') value.remove_prefix(1);
    if (value.size() != 6) return std::nullopt;
    std::uint32_t color = 0;
    for (char c : value) {
        const int digit = HexDigit(c);
        if (digit < 0) return std::nullopt;
        color = color << 4 | static_cast<std::uint32_t>(digit);
    }
    return color;
}

// The styles a line's tags have opened so far. Nested font tags stack: an
// end tag gives back the colour and face from before its start tag.
struct MarkupState {
    ChatStyle font; // colour and face; the other members unused
    std::vector<ChatStyle> outerFonts;
    int bold = 0;
    int italic = 0;
    int underline = 0;
    bool link = false;

    // The anchor underlines its text itself, so a "</u>" inside it does not
    // take that away.
    ChatStyle Style() const {
        ChatStyle style = font;
        style.bold = bold > 0;
        style.italic = italic > 0;
        style.underline = underline > 0 || link;
        style.link = link;
        return style;
    }
};

// An end tag without its start tag changes nothing.
void Nest(int& depth, bool end) {
    if (!end) {
        ++depth;
    } else if (depth > 0) {
        --depth;
    }
}

void ApplyFont(const Tag& tag, MarkupState& state) {
    if (tag.end) {
        if (state.outerFonts.empty()) return;
        state.font = std::move(state.outerFonts.back());
        state.outerFonts.pop_back();
        return;
    }
    state.outerFonts.push_back(state.font);
    if (const auto value = Attribute(tag.attributes, "color")) {
        if (const auto color = ParseColor(*value)) state.font.color = *color;
    }
    if (const auto value = Attribute(tag.attributes, "face")) {
        const std::string_view face = Trim(*value);
        if (!face.empty()) state.font.face = std::string(face);
    }
}

void Apply(const Tag& tag, MarkupState& state) {
    if (SameWord(tag.name, "font")) {
        ApplyFont(tag, state);
    } else if (SameWord(tag.name, "b")) {
        Nest(state.bold, tag.end);
    } else if (SameWord(tag.name, "i")) {
        Nest(state.italic, tag.end);
    } else if (SameWord(tag.name, "u")) {
        Nest(state.underline, tag.end);
    } else if (SameWord(tag.name, "a")) {
        // Only an anchor with an address is a link.
        state.link = !tag.end && Attribute(tag.attributes, "href").has_value();
    }
}

void Append(std::vector<ChatRun>& runs, std::string_view text, const ChatStyle& style) {
    if (text.empty()) return;
    if (!runs.empty() && runs.back().style == style) {
        runs.back().text += text;
    } else {
        runs.push_back({std::string(text), style});
    }
}

} // namespace

std::vector<ChatRun> ParseChatMarkup(std::string_view message, const ChatStyle& base) {
    std::vector<ChatRun> runs;
    MarkupState state;
    state.font = base;
    state.bold = base.bold ? 1 : 0;
    state.italic = base.italic ? 1 : 0;
    state.underline = base.underline ? 1 : 0;
    state.link = base.link;
    size_t textStart = 0;
    for (size_t i = 0; i < message.size();) {
        const std::optional<Tag> tag =
            message[i] == '<' ? ReadTag(message, i) : std::optional<Tag>();
        if (!tag) {
            ++i;
            continue;
        }
        Append(runs, message.substr(textStart, i - textStart), state.Style());
        Apply(*tag, state);
        i += tag->length;
        textStart = i;
    }
    Append(runs, message.substr(textStart), state.Style());
    return runs;
}

std::vector<ChatRun> RoomLineRuns(std::string_view name, std::string_view message) {
    const ChatStyle plain;
    ChatStyle bold;
    bold.bold = true;
    std::vector<ChatRun> runs{{std::string(name) + ":", bold}};
    Append(runs, " ", plain);
    for (const ChatRun& run : ParseChatMarkup(message, plain)) Append(runs, run.text, run.style);
    return runs;
}

} // namespace standin
