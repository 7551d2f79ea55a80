#include "store/data_path.h"

namespace store {

namespace {
constexpr unsigned long kNoFile = 0xFFFFFFFF; // INVALID_FILE_ATTRIBUTES
constexpr unsigned long kFolder = 0x10;       // FILE_ATTRIBUTE_DIRECTORY
} // namespace

std::wstring DataFileIn(unsigned long fixedFolderAttributes, const std::wstring& windowsFolder) {
    const bool fixedIsFolder = fixedFolderAttributes != kNoFile && (fixedFolderAttributes & kFolder);
    if (fixedIsFolder || windowsFolder.empty()) return kFixedDataFile;
    // A Windows folder at a drive's root comes back as "D:\".
    const bool separated = windowsFolder.back() == L'\\';
    return windowsFolder + (separated ? L"vexidle.dat" : L"\\vexidle.dat");
}

} // namespace store
