#include "store/data_file.h"
#include "system/ansi.h"
#include <algorithm>
#include <utility>

namespace store {
namespace {

// The file's name with its extension replaced ("vexidle.dat" to "vexidle.tmp").
std::string Sibling(const std::string& file, const char* extension) {
    const std::size_t dot = file.find_last_of('.');
    const std::size_t slash = file.find_last_of("\\/");
    const bool hasExtension =
        dot != std::string::npos && (slash == std::string::npos || dot > slash);
    return (hasExtension ? file.substr(0, dot) : file) + extension;
}

std::string BackupOf(const std::string& file) {
    return Sibling(file, ".old");
}

bool Exists(const std::string& name) {
    return GetFileAttributesA(name.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Windows refuses to replace a read-only file; root under Wine does not, so
// the rule is applied here the same on every host. A folder in the file's
// place is refused at once too, not tried again as a file held open is.
bool Unreplaceable(const std::string& name) {
    const DWORD attributes = GetFileAttributesA(name.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES &&
           (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY));
}

// Another program holding a file open for a moment (a virus scanner checking
// a file just written, an indexer, a viewer) makes a rename fail with a
// sharing or access error. Such a rename is tried again, ten times after
// delays growing by 25 ms, 1.375 s of waiting at most, as SQLite's Windows
// layer does; any other error fails at once.
constexpr int kRenameRetries = 10;
constexpr DWORD kRetryStepMs = 25;

template <class Rename> bool Retried(Rename&& rename) {
    for (int retry = 1;; ++retry) {
        if (rename()) return true;
        const DWORD error = GetLastError();
        const bool held = error == ERROR_SHARING_VIOLATION || error == ERROR_ACCESS_DENIED ||
                          error == ERROR_LOCK_VIOLATION;
        if (!held || retry > kRenameRetries) return false;
        Sleep(kRetryStepMs * retry);
    }
}

bool Rename(const std::string& from, const std::string& to) {
    return Retried([&] { return MoveFileA(from.c_str(), to.c_str()) != 0; });
}

DWORD RecoverAnsi(const std::string& file) {
    const DWORD attributes = GetFileAttributesA(file.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES || GetLastError() != ERROR_FILE_NOT_FOUND)
        return attributes;
    const std::string backup = BackupOf(file);
    if (!Exists(backup) || !MoveFileA(backup.c_str(), file.c_str())) return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesA(file.c_str());
}

} // namespace

bool SystemRenamesOver() {
    return (GetVersion() & 0x80000000u) == 0; // the high bit: Windows 95, 98, ME
}

DWORD RecoverDataFile(const std::wstring& path) {
    return RecoverAnsi(ToAnsi(path));
}

FileContents ReadDataFile(const std::wstring& path) {
    const std::string file = ToAnsi(path);
    RecoverAnsi(file);
    // Sharing everything: another program may hold the file open, as the
    // platform's own profile functions allow. (Windows 95 knows no
    // FILE_SHARE_DELETE and takes the flag it does not know as an error.)
    const DWORD share =
        FILE_SHARE_READ | FILE_SHARE_WRITE | (SystemRenamesOver() ? FILE_SHARE_DELETE : 0);
    OwnedHandle handle(
        CreateFileA(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr));
    if (handle.handle == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        return {missing ? FileState::Missing : FileState::Unreadable, {}};
    }
    FileContents contents{FileState::Present, {}};
    char chunk[16384];
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(handle.handle, chunk, sizeof chunk, &got, nullptr))
            return {FileState::Unreadable, {}};
        if (got == 0) return contents;
        if (contents.bytes.size() + got > kMaxFileSize) return {FileState::Unreadable, {}};
        contents.bytes.append(chunk, got);
    }
}

FileSteps::FileSteps(std::wstring dataFile, bool renamesOver)
    : path(std::move(dataFile)), renamesOver(renamesOver), file(ToAnsi(path)),
      temp(Sibling(file, ".tmp")), backup(BackupOf(file)) {}

FileSteps::~FileSteps() {
    DiscardTemp();
}

FileContents FileSteps::Read() {
    return ReadDataFile(path);
}

// A temporary file left by an interrupted save is emptied and used again.
bool FileSteps::CreateTemp() {
    handle.Close();
    handle.handle = CreateFileA(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    tempExists = handle.handle != INVALID_HANDLE_VALUE;
    return tempExists;
}

bool FileSteps::WriteTemp(const std::string& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const DWORD size = static_cast<DWORD>(std::min<std::size_t>(bytes.size() - done, 1 << 20));
        DWORD written = 0;
        if (!WriteFile(handle.handle, bytes.data() + done, size, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

// The data reaches the disk before the rename does, so a crash in between
// cannot leave the new name on an empty file.
bool FileSteps::FlushTemp() {
    return FlushFileBuffers(handle.handle) != 0;
}

bool FileSteps::CloseTemp() {
    return handle.Close();
}

bool FileSteps::ReplaceWithTemp() {
    if (Unreplaceable(file) || !Retried([&] {
            return MoveFileExA(temp.c_str(), file.c_str(),
                               MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
        }))
        return false;
    tempExists = false;
    return true;
}

// A backup beside a data file is left from a replace that got as far as its
// second rename: the data file is the newer, so the backup may go.
bool FileSteps::MoveDataAside() {
    if (Unreplaceable(file)) return false;
    DeleteFileA(backup.c_str());
    return Rename(file, backup);
}

bool FileSteps::MoveTempIn() {
    if (!Rename(temp, file)) return false;
    tempExists = false;
    return true;
}

bool FileSteps::RestoreData() {
    return Rename(backup, file);
}

void FileSteps::DropBackup() {
    DeleteFileA(backup.c_str());
}

void FileSteps::DiscardTemp() {
    handle.Close();
    if (tempExists) DeleteFileA(temp.c_str());
    tempExists = false;
}

} // namespace store
