#pragma once
// The data file and its three access routines.
#include "store/data_path.h"
#include <optional>
#include <string>

namespace AolKit {
// True when path names an existing ordinary file (not a folder, and not
// hidden, system or a device); false for the empty path.
bool FileExists(const std::wstring& path);
// The value of key (matched without regard to ASCII case) in section of
// file, cut to 749 characters; "" when the file, section or key is missing.
std::wstring ReadIni(const std::wstring& section, const std::wstring& key,
                     const std::wstring& file);
// The same, but nothing when the file exists and cannot be read (held by
// another program, access denied, too big), which ReadIni's "" hides.
std::optional<std::wstring> TryReadIni(const std::wstring& section, const std::wstring& key,
                                       const std::wstring& file);
// Stores value under key (upper-cased) in section of file, creating what is
// missing. The file is replaced atomically; false when the write failed and
// the file was left as it was.
bool WriteIni(const std::wstring& section, const std::wstring& key, const std::wstring& value,
              const std::wstring& file);
} // namespace AolKit
