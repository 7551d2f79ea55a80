// The data file's parser and editor on any bytes: no crash, no leak, and the
// promises a write makes hold for every file: the value reads back exactly,
// storing it again changes nothing, no other entry changes, and a file's
// bytes survive taking it apart by its byte-order mark.
#include "store/profile.h"
#include <fuzzer/FuzzedDataProvider.h>
#include <cstdlib>
#include <string>

namespace {

template <class Char> using View = std::basic_string_view<Char>;

void Check(bool condition) {
    if (!condition) std::abort();
}

template <class Char> View<Char> Name(View<Char> s) {
    const auto blank = [](Char c) { return (c >= 0x09 && c <= 0x0D) || c == 0x1A || c == 0x20; };
    s = s.substr(0, s.find(Char(0)));
    while (!s.empty() && blank(s.front())) s.remove_prefix(1);
    while (!s.empty() && blank(s.back())) s.remove_suffix(1);
    return s;
}

template <class Char> bool SameName(View<Char> a, View<Char> b) {
    a = Name(a);
    b = Name(b);
    const auto fold = [](Char c) { return (c >= 'a' && c <= 'z') ? Char(c - 'a' + 'A') : c; };
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

template <class Char>
void Exercise(View<Char> text, View<Char> section, View<Char> key, View<Char> value,
              View<Char> otherSection, View<Char> otherKey) {
    const auto before = profile::Read<Char>(text, otherSection, otherKey);
    const auto written = profile::Write<Char>(text, section, key, value);
    if (!written) return;
    Check(profile::Read<Char>(*written, section, key) == value);
    Check(profile::Write<Char>(*written, section, key, value) == *written);
    if (!SameName(section, otherSection) || !SameName(key, otherKey))
        Check(profile::Read<Char>(*written, otherSection, otherKey) == before);
}

std::u16string Units(const std::string& bytes) {
    std::u16string units;
    for (std::size_t i = 0; i + 1 < bytes.size(); i += 2)
        units += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                       static_cast<unsigned char>(bytes[i + 1]) << 8);
    return units;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    FuzzedDataProvider input(data, size);
    const std::string section = input.ConsumeRandomLengthString(16);
    const std::string key = input.ConsumeRandomLengthString(16);
    const std::string value = input.ConsumeRandomLengthString(64);
    const std::string otherSection = input.ConsumeRandomLengthString(16);
    const std::string otherKey = input.ConsumeRandomLengthString(16);
    const std::string file = input.ConsumeRemainingBytesAsString();

    const profile::Document document = profile::Decode(file);
    Check(profile::Encode(document) == file);

    Exercise<char>(file, section, key, value, otherSection, otherKey);
    Exercise<char16_t>(Units(file), Units(section), Units(key), Units(value), Units(otherSection),
                       Units(otherKey));
    return 0;
}
