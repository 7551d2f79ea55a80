#include "store/aolkit_store.h"
#include "system/ansi.h"
#include "store/data_file.h"
#include "store/profile.h"

namespace {

// What a read gives back: a buffer of 750 characters holds 749 and the NUL.
constexpr std::size_t kReadLimit = 749;

// Keys are written upper-cased, as the platform's profile functions write
// them; a read needs no fold, the store matching names without regard to case.
std::wstring Upper(std::wstring text) {
    for (wchar_t& c : text) c = profile::UpperAscii(c);
    return text;
}

// A file with a UTF-8 mark holds UTF-8 text; the platform reads it so too.
std::string ToUtf8(const std::wstring& text) {
    return ToCodePage(CP_UTF8, text);
}
std::wstring FromUtf8(const std::string& bytes) {
    return FromCodePage(CP_UTF8, bytes);
}

// wchar_t is UTF-16 here, so a UTF-16 file needs no conversion.
std::u16string ToUtf16(const std::wstring& text) {
    return {text.begin(), text.end()};
}
std::wstring FromUtf16(const std::u16string& text) {
    return {text.begin(), text.end()};
}

// The narrow text of a document is ANSI or UTF-8, as its mark says.
std::string Narrow(const profile::Document& document, const std::wstring& text) {
    return document.encoding == profile::Encoding::Utf8 ? ToUtf8(text) : ToAnsi(text);
}

std::wstring Widen(const profile::Document& document, const std::string& text) {
    return document.encoding == profile::Encoding::Utf8 ? FromUtf8(text) : FromAnsi(text);
}

bool IsWide(const profile::Document& document) {
    return document.encoding == profile::Encoding::Utf16Le ||
           document.encoding == profile::Encoding::Utf16Be;
}

std::wstring ReadEntry(const profile::Document& document, const std::wstring& section,
                       const std::wstring& key) {
    if (IsWide(document))
        return FromUtf16(profile::Read<char16_t>(document.wide, ToUtf16(section), ToUtf16(key)));
    return Widen(document, profile::Read<char>(document.narrow, Narrow(document, section),
                                               Narrow(document, key)));
}

bool WriteEntry(profile::Document& document, const std::wstring& section, const std::wstring& key,
                const std::wstring& value) {
    if (IsWide(document)) {
        auto text =
            profile::Write<char16_t>(document.wide, ToUtf16(section), ToUtf16(key), ToUtf16(value));
        if (text) document.wide = std::move(*text);
        return text.has_value();
    }
    auto text = profile::Write<char>(document.narrow, Narrow(document, section),
                                     Narrow(document, key), Narrow(document, value));
    if (text) document.narrow = std::move(*text);
    return text.has_value();
}

} // namespace

namespace AolKit {

// Only an ordinary file counts: not a folder, and not a hidden, system or
// device file of that name. A save interrupted half-way is recovered first.
bool FileExists(const std::wstring& path) {
    if (path.empty()) return false;
    const DWORD attributes = store::RecoverDataFile(path);
    if (attributes == INVALID_FILE_ATTRIBUTES) return false;
    return (attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM |
                          FILE_ATTRIBUTE_DEVICE)) == 0;
}

std::optional<std::wstring> TryReadIni(const std::wstring& section, const std::wstring& key,
                                       const std::wstring& file) {
    const store::FileContents contents = store::ReadDataFile(file);
    if (contents.state == store::FileState::Unreadable) return std::nullopt;
    if (contents.state != store::FileState::Present) return std::wstring();
    std::wstring value = ReadEntry(profile::Decode(contents.bytes), section, key);
    if (value.size() > kReadLimit) value.resize(kReadLimit);
    return value;
}

std::wstring ReadIni(const std::wstring& section, const std::wstring& key,
                     const std::wstring& file) {
    return TryReadIni(section, key, file).value_or(L"");
}

bool WriteIni(const std::wstring& section, const std::wstring& key, const std::wstring& value,
              const std::wstring& file) {
    const std::wstring upper = Upper(key);
    store::FileSteps steps(file);
    return store::UpdateFile(steps,
                             [&](const store::FileContents& current) -> std::optional<std::string> {
                                 profile::Document document = profile::Decode(current.bytes);
                                 if (!WriteEntry(document, section, upper, value))
                                     return std::nullopt;
                                 return profile::Encode(document);
                             });
}

} // namespace AolKit
