#pragma once
// The data file and its three access routines.
#include <string>

// The data file's path, chosen afresh on each call: c:\windows\vexidle.dat
// wherever that folder exists (under Wine, the prefix's drive_c/windows),
// else vexidle.dat in the system's Windows folder.
std::wstring DataFile();

namespace AolKit {
// True when path names an existing ordinary file (not a folder, not hidden or
// system); false for the empty path.
bool FileExists(const std::wstring& path);
// The value of key (looked up lower-cased) in section of file, cut to 749
// characters; "" when the file, section or key is missing.
std::wstring ReadIni(const std::wstring& section, const std::wstring& key,
                     const std::wstring& file);
// Stores value under key (upper-cased) in section of file, creating what is
// missing. The file is replaced atomically; false when the write failed and
// the file was left as it was.
bool WriteIni(const std::wstring& section, const std::wstring& key, const std::wstring& value,
              const std::wstring& file);
} // namespace AolKit
