#pragma once
// The event log's lines: one JSON object per line, {"t":SECONDS,"event":NAME,...},
// every other value a string or a number. Portable.
#include <string>
#include <string_view>
#include <vector>

namespace standin {

// One member of an event: its key and its value already encoded as JSON.
struct Field {
    std::string key;
    std::string json;
};

Field Text(std::string key, std::string_view utf8);
Field Number(std::string key, long long value);
Field Flag(std::string key, bool value);
// Bytes as the client holds them: "hex" (exact) and "text" (decoded from
// Windows-1252 to UTF-8).
std::vector<Field> Bytes(std::string_view bytes);

std::string Hex(std::string_view bytes);
// Windows-1252 to UTF-8. The five bytes 1252 leaves undefined map to the C1
// control of the same value, as Windows does.
std::string Cp1252ToUtf8(std::string_view bytes);
// A JSON string literal: quotes, backslashes and control characters escaped.
std::string JsonString(std::string_view utf8);

// The whole line, ending in "\n".
std::string FormatEvent(double seconds, std::string_view event, const std::vector<Field>& fields);

} // namespace standin
