#pragma once
// The data file's INI format, read and edited as text: the portable core of
// the store. It reads what the platform's profile functions read and edits
// the file the way they would, but line by line in place, so every line it
// does not change (other sections and keys, comments, blank lines, line
// endings) stays byte for byte.
//
// Text is 8-bit (the ANSI code page, or UTF-8 after a UTF-8 byte-order mark)
// or 16-bit (a UTF-16 file); the rules are the same for both.
#include <optional>
#include <string>
#include <string_view>

namespace profile {

// A character with ASCII letters upper-cased, the fold by which names match.
// Only ASCII letters fold: every section and key the program uses is ASCII.
template <class Char> constexpr Char UpperAscii(Char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<Char>(c - 'a' + 'A') : c;
}

// The value stored under key in the first section named section, as the
// platform reads it: blanks around it trimmed, one pair of matching quotes
// (double or single) around it removed. Names match without regard to ASCII
// letter case; "" when the section, the key or its "=" is missing.
template <class Char>
std::basic_string<Char> Read(std::basic_string_view<Char> text,
                             std::basic_string_view<Char> section,
                             std::basic_string_view<Char> key);

// text with value stored under key in section: the key's line is replaced in
// its place (keeping the file's spelling of the key), or a new line goes after
// the last line of the section, or a new section at the end of the text.
// Storing the value already stored returns text unchanged. A value with
// blanks at either end, or one the platform would strip quotes from, is
// written between double quotes so it reads back exactly. nullopt when the
// entry cannot be stored without changing the file's structure: a line break
// or NUL anywhere, an empty section or key, a key with "=" or one that would
// read as a comment or a section.
template <class Char>
std::optional<std::basic_string<Char>>
Write(std::basic_string_view<Char> text, std::basic_string_view<Char> section,
      std::basic_string_view<Char> key, std::basic_string_view<Char> value);

// How a data file's bytes are encoded, told by its byte-order mark as the
// platform tells it: UTF-8 (EF BB BF), UTF-16 little-endian (FF FE) or
// big-endian (FE FF); anything else is the ANSI code page.
enum class Encoding { Ansi, Utf8, Utf16Le, Utf16Be };

// A data file's contents taken apart for editing; Encode(Decode(b)) == b.
struct Document {
    Encoding encoding = Encoding::Ansi;
    std::string narrow;  // Ansi, Utf8: the bytes after the mark
    std::u16string wide; // Utf16Le, Utf16Be: the code units after the mark
    std::string oddByte; // a UTF-16 file of odd length: its last byte
};

Document Decode(std::string_view bytes);
std::string Encode(const Document& document);

} // namespace profile
