#include "store/data_path.h"
#include "system/ansi.h"

std::wstring DataFile() {
    char folder[MAX_PATH];
    const UINT length = GetWindowsDirectoryA(folder, MAX_PATH);
    const std::wstring windows = length && length < MAX_PATH ? FromAnsi({folder, length}) : L"";
    return store::DataFileIn(GetFileAttributesA(store::kFixedFolder), windows);
}
