#pragma once
// Where the data file lives. Portable: the caller asks the system.
#include <string>

namespace store {

// The usual place, where the files of earlier runs are.
inline constexpr const wchar_t* kFixedFolder = L"c:\\windows";
inline constexpr const wchar_t* kFixedDataFile = L"c:\\windows\\vexidle.dat";

// c:\windows\vexidle.dat wherever c:\windows is a folder (fixedFolderAttributes
// as GetFileAttributes gives them); elsewhere (Windows NT 4.0 and 2000 live in
// C:\WINNT, any Windows may live on another drive) vexidle.dat in the
// system's Windows folder. Without that folder's name, the usual path.
std::wstring DataFileIn(unsigned long fixedFolderAttributes, const std::wstring& windowsFolder);

} // namespace store
