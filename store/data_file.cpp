#include "store/data_file.h"
#include <algorithm>
#include <utility>

namespace store {
namespace {

struct OwnedHandle {
    HANDLE handle;
    explicit OwnedHandle(HANDLE h) : handle(h) {}
    ~OwnedHandle() {
        if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
};

// The folder part of a path, with its final separator ("c:\" for "c:\a.dat",
// so a file in a drive's root stays there).
std::wstring FolderOf(const std::wstring& path) {
    const std::size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring(L".\\") : path.substr(0, slash + 1);
}

} // namespace

FileContents ReadDataFile(const std::wstring& path) {
    // Sharing everything: another program may hold the file open, as the
    // platform's own profile functions allow.
    OwnedHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                 FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (file.handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return {missing ? FileState::Missing : FileState::Unreadable, {}};
    }
    FileContents contents{FileState::Present, {}};
    char chunk[16384];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(file.handle, chunk, sizeof chunk, &got, nullptr))
            return {FileState::Unreadable, {}};
        if (got == 0) return contents;
        if (contents.bytes.size() + got > kMaxFileSize) return {FileState::Unreadable, {}};
        contents.bytes.append(chunk, got);
    }
}

FileSteps::FileSteps(std::wstring dataFile) : path(std::move(dataFile)) {}

FileSteps::~FileSteps() {
    DiscardTemp();
}

FileContents FileSteps::Read() {
    return ReadDataFile(path);
}

bool FileSteps::CreateTemp() {
    wchar_t name[MAX_PATH];
    if (!GetTempFileNameW(FolderOf(path).c_str(), L"vex", 0, name)) return false;
    temp = name;
    handle =
        CreateFileW(name, GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    return handle != INVALID_HANDLE_VALUE;
}

bool FileSteps::WriteTemp(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD size = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(handle, bytes.data() + done, size, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

// The data reaches the disk before the rename does, so a crash in between
// cannot leave the new name on an empty file.
bool FileSteps::FlushTemp() {
    return FlushFileBuffers(handle) != 0;
}

bool FileSteps::CloseTemp() {
    const bool closed = CloseHandle(handle) != 0;
    handle = INVALID_HANDLE_VALUE;
    return closed;
}

bool FileSteps::ReplaceWithTemp() {
    // Windows refuses to replace a read-only file; root under Wine does not,
    // so the rule is applied here the same on every host.
    const DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY))
        return false;
    if (!MoveFileExW(temp.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return false;
    temp.clear();
    return true;
}

void FileSteps::DiscardTemp() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
    handle = INVALID_HANDLE_VALUE;
    if (!temp.empty()) DeleteFileW(temp.c_str());
    temp.clear();
}

} // namespace store
