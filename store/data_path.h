#pragma once
// Where the data file lives: the rule (portable, here) and the system's
// answer to it (DataFile, in data_path.cpp).
#include <string>

namespace store {

// The usual place, where the files of earlier runs are.
inline constexpr const char* kFixedFolder = "c:\\windows";
inline constexpr const wchar_t* kFixedDataFile = L"c:\\windows\\vexidle.dat";

// c:\windows\vexidle.dat wherever c:\windows is a folder (fixedFolderAttributes
// as GetFileAttributes gives them); elsewhere (Windows NT 4.0 and 2000 live in
// C:\WINNT, any Windows may live on another drive) vexidle.dat in the
// system's Windows folder. Without that folder's name, the usual path.
inline std::wstring DataFileIn(unsigned long fixedFolderAttributes,
                               const std::wstring& windowsFolder) {
    constexpr unsigned long kNoFile = 0xFFFFFFFF; // INVALID_FILE_ATTRIBUTES
    constexpr unsigned long kFolder = 0x10;       // FILE_ATTRIBUTE_DIRECTORY
    const bool fixedIsFolder =
        fixedFolderAttributes != kNoFile && (fixedFolderAttributes & kFolder);
    if (fixedIsFolder || windowsFolder.empty()) return kFixedDataFile;
    // A Windows folder at a drive's root comes back as "D:\".
    const bool separated = windowsFolder.back() == L'\\';
    return windowsFolder + (separated ? L"vexidle.dat" : L"\\vexidle.dat");
}

} // namespace store

// The data file's path, chosen afresh on each call by the rule above: the
// system's Windows folder, and whether c:\windows is a folder (under Wine,
// the prefix's drive_c/windows).
std::wstring DataFile();
