#include "store/profile.h"

namespace profile {
namespace {

template <class Char> using View = std::basic_string_view<Char>;
template <class Char> using String = std::basic_string<Char>;

// The blanks the platform trims around names and values: tab to carriage
// return, space, and Ctrl-Z (an old end-of-file mark).
template <class Char> bool IsBlank(Char c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20;
}

template <class Char> bool IsBreak(Char c) {
    return c == '\r' || c == '\n';
}

template <class Char> View<Char> Trim(View<Char> s) {
    while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
    while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
    return s;
}

// The platform keeps names and values as C strings: a NUL ends them.
template <class Char> View<Char> CutAtNul(View<Char> s) {
    return s.substr(0, s.find(Char(0)));
}

template <class Char> bool SameName(View<Char> a, View<Char> b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (UpperAscii(a[i]) != UpperAscii(b[i])) return false;
    return true;
}

template <class Char> void AppendBreak(String<Char>& s) {
    s += Char('\r');
    s += Char('\n');
}

// One line of the text: CR LF, a lone CR and a lone LF each end a line.
struct Line {
    std::size_t begin = 0; // its first character
    std::size_t end = 0;   // its line break, or the end of the text
    std::size_t next = 0;  // the next line's first character
};

template <class Char> Line LineAt(View<Char> text, std::size_t begin) {
    Line line{begin, begin, begin};
    while (line.end < text.size() && !IsBreak(text[line.end])) ++line.end;
    if (line.end == text.size())
        line.next = line.end;
    else if (text[line.end] == '\r' && line.end + 1 < text.size() && text[line.end + 1] == '\n')
        line.next = line.end + 2;
    else
        line.next = line.end + 1;
    return line;
}

enum class Kind { Blank, Comment, Section, Entry };

template <class Char> struct Parsed {
    Kind kind = Kind::Blank;
    View<Char> name;  // the section's name or the entry's key, trimmed
    View<Char> value; // the entry's value, trimmed, quotes still on
    bool hasValue = false;
};

// A line starting with "[" and holding a "]" opens a section named by what
// lies between the "[" and the last "]"; one starting with ";" is a comment;
// any other line with text is an entry, its key before the first "=" (the
// whole line when there is none) and its value after.
template <class Char> Parsed<Char> Parse(View<Char> line) {
    const View<Char> body = Trim(line);
    Parsed<Char> parsed;
    if (body.empty()) return parsed;
    if (body[0] == '[') {
        const std::size_t close = body.rfind(Char(']'));
        if (close != View<Char>::npos) {
            parsed.kind = Kind::Section;
            parsed.name = CutAtNul(Trim(body.substr(1, close - 1)));
            return parsed;
        }
    }
    if (body[0] == ';') {
        parsed.kind = Kind::Comment;
        return parsed;
    }
    parsed.kind = Kind::Entry;
    const std::size_t equals = body.find(Char('='));
    if (equals == View<Char>::npos) {
        parsed.name = CutAtNul(body);
        return parsed;
    }
    parsed.name = CutAtNul(Trim(body.substr(0, equals)));
    parsed.value = CutAtNul(Trim(body.substr(equals + 1)));
    parsed.hasValue = true;
    return parsed;
}

// Where an entry is, or would go. Only the first section of a name counts,
// and within it the first entry of a key.
template <class Char> struct Place {
    bool section = false;
    Line last; // the section's last line that is not blank
    bool key = false;
    Line keyLine;
    Parsed<Char> entry;
};

template <class Char> Place<Char> Locate(View<Char> text, View<Char> section, View<Char> key) {
    Place<Char> place;
    for (std::size_t at = 0; at < text.size();) {
        const Line line = LineAt(text, at);
        at = line.next;
        const Parsed<Char> parsed = Parse(text.substr(line.begin, line.end - line.begin));
        if (!place.section) {
            if (parsed.kind == Kind::Section && SameName(parsed.name, section)) {
                place.section = true;
                place.last = line;
            }
            continue;
        }
        if (parsed.kind == Kind::Section) break;
        if (parsed.kind == Kind::Blank) continue;
        place.last = line;
        if (parsed.kind == Kind::Entry && SameName(parsed.name, key)) {
            place.key = true;
            place.keyLine = line;
            place.entry = parsed;
            break;
        }
    }
    return place;
}

template <class Char> View<Char> Unquote(View<Char> value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        return value.substr(1, value.size() - 2);
    return value;
}

// Blanks at either end would be trimmed and a pair of quotes stripped on the
// way back; between double quotes the value reads back as it was.
template <class Char> String<Char> Quoted(View<Char> value) {
    const bool quote = !value.empty() && (IsBlank(value.front()) || IsBlank(value.back()) ||
                                          Unquote(value).size() != value.size());
    if (!quote) return String<Char>(value);
    String<Char> out(1, Char('"'));
    out.append(value);
    out += Char('"');
    return out;
}

template <class Char> bool HasBreakOrNul(View<Char> s) {
    for (Char c : s)
        if (IsBreak(c) || c == 0) return true;
    return false;
}

// A line break or NUL would end the line early and could start a new entry;
// a key with "=" would split differently, and one starting with ";" or "["
// would read as a comment or a section.
template <class Char> bool Storable(View<Char> section, View<Char> key, View<Char> value) {
    if (section.empty() || key.empty()) return false;
    if (HasBreakOrNul(section) || HasBreakOrNul(key) || HasBreakOrNul(value)) return false;
    if (key.find(Char('=')) != View<Char>::npos) return false;
    return key.front() != ';' && key.front() != '[';
}

} // namespace

template <class Char> String<Char> Read(View<Char> text, View<Char> section, View<Char> key) {
    section = CutAtNul(Trim(section));
    key = CutAtNul(Trim(key));
    if (section.empty() || key.empty()) return {};
    const Place<Char> place = Locate(text, section, key);
    if (!place.key || !place.entry.hasValue) return {};
    return String<Char>(Unquote(place.entry.value));
}

template <class Char>
std::optional<String<Char>> Write(View<Char> text, View<Char> section, View<Char> key,
                                  View<Char> value) {
    section = Trim(section);
    key = Trim(key);
    if (!Storable(section, key, value)) return std::nullopt;
    const String<Char> stored = Quoted(value);
    const Place<Char> place = Locate(text, section, key);
    String<Char> out;
    if (place.key) {
        if (place.entry.hasValue && place.entry.value == View<Char>(stored))
            return String<Char>(text);
        out.append(text.substr(0, place.keyLine.begin));
        out.append(place.entry.name);
        out += Char('=');
        out.append(stored);
        out.append(text.substr(place.keyLine.end));
    } else if (place.section) {
        out.append(text.substr(0, place.last.next));
        if (place.last.next == place.last.end) AppendBreak(out);
        out.append(key);
        out += Char('=');
        out.append(stored);
        AppendBreak(out);
        out.append(text.substr(place.last.next));
    } else {
        out.append(text);
        if (!out.empty() && !IsBreak(out.back())) AppendBreak(out);
        out += Char('[');
        out.append(section);
        out += Char(']');
        AppendBreak(out);
        out.append(key);
        out += Char('=');
        out.append(stored);
        AppendBreak(out);
    }
    return out;
}

template std::string Read(View<char>, View<char>, View<char>);
template std::u16string Read(View<char16_t>, View<char16_t>, View<char16_t>);
template std::optional<std::string> Write(View<char>, View<char>, View<char>, View<char>);
template std::optional<std::u16string> Write(View<char16_t>, View<char16_t>, View<char16_t>,
                                             View<char16_t>);

namespace {

constexpr std::string_view kUtf8Mark = "\xEF\xBB\xBF";

std::u16string Units(std::string_view bytes, bool littleEndian) {
    std::u16string units;
    units.reserve(bytes.size() / 2);
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2) {
        const auto b0 = static_cast<unsigned char>(bytes[i]);
        const auto b1 = static_cast<unsigned char>(bytes[i + 1]);
        units += static_cast<char16_t>(littleEndian ? (b0 | b1 << 8) : (b0 << 8 | b1));
    }
    return units;
}

void AppendUnits(std::string& bytes, std::u16string_view units, bool littleEndian) {
    for (char16_t u : units) {
        const char low = static_cast<char>(u & 0xFF);
        const char high = static_cast<char>(u >> 8);
        bytes += littleEndian ? low : high;
        bytes += littleEndian ? high : low;
    }
}

} // namespace

Document Decode(std::string_view bytes) {
    Document document;
    if (bytes.substr(0, kUtf8Mark.size()) == kUtf8Mark) {
        document.encoding = Encoding::Utf8;
        document.narrow = bytes.substr(kUtf8Mark.size());
        return document;
    }
    const bool le = bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE';
    const bool be = bytes.size() >= 2 && bytes[0] == '\xFE' && bytes[1] == '\xFF';
    if (!le && !be) {
        document.narrow = bytes;
        return document;
    }
    document.encoding = le ? Encoding::Utf16Le : Encoding::Utf16Be;
    const std::string_view body = bytes.substr(2);
    document.wide = Units(body, le);
    if (body.size() % 2) document.oddByte = body.substr(body.size() - 1);
    return document;
}

std::string Encode(const Document& document) {
    switch (document.encoding) {
    case Encoding::Ansi:
        return document.narrow;
    case Encoding::Utf8:
        return std::string(kUtf8Mark) + document.narrow;
    case Encoding::Utf16Le:
    case Encoding::Utf16Be: {
        const bool le = document.encoding == Encoding::Utf16Le;
        std::string bytes = le ? "\xFF\xFE" : "\xFE\xFF";
        AppendUnits(bytes, document.wide, le);
        return bytes + document.oddByte;
    }
    }
    return document.narrow;
}

} // namespace profile
