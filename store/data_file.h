#pragma once
// The data file on disk: reading it whole, and the steps of a write on real
// files (see store/update.h). Names go to the system in the ANSI code page.
#include "store/update.h"
#include <windows.h>
#include <string>

namespace store {

// A bigger file is taken as unreadable: neither misread nor replaced.
inline constexpr unsigned long kMaxFileSize = 16UL * 1024 * 1024;

// A handle that is closed when its owner goes, unless closed before.
struct OwnedHandle {
    explicit OwnedHandle(HANDLE h = INVALID_HANDLE_VALUE) : handle(h) {}
    ~OwnedHandle() { Close(); }
    OwnedHandle(const OwnedHandle&) = delete;
    OwnedHandle& operator=(const OwnedHandle&) = delete;
    // False when there was none or the system could not close it.
    bool Close() {
        if (handle == INVALID_HANDLE_VALUE) return false;
        const bool closed = CloseHandle(handle) != 0;
        handle = INVALID_HANDLE_VALUE;
        return closed;
    }
    HANDLE handle;
};

// Whether this system renames a file over another in one step (MoveFileEx):
// the NT family does; Windows 95, 98 and ME do not.
bool SystemRenamesOver();

// A replace interrupted between its two renames left the old contents under
// the backup name and none under the data file's: they are renamed back.
// The data file's attributes afterwards (INVALID_FILE_ATTRIBUTES: none).
DWORD RecoverDataFile(const std::wstring& path);

// The file's bytes, after recovering as above; Missing when it or its folder
// does not exist, Unreadable when it exists but cannot be read whole (locked,
// a folder, too big).
FileContents ReadDataFile(const std::wstring& path);

// The temporary file and the backup have fixed names beside the data file
// (vexidle.tmp, vexidle.old), on its volume, so the renames are atomic and an
// interrupted save leaves at most one of each, which the next save replaces.
// Where the system renames over a file, MoveFileEx(MOVEFILE_REPLACE_EXISTING |
// MOVEFILE_WRITE_THROUGH) replaces the data file whole or not at all
// (ReplaceFile needs the old file to exist and may stop half-way with it
// moved aside); elsewhere the backup's two renames do (store/update.h). A
// rename refused because another program holds a file open is tried again,
// for 1.375 s of waiting at most.
struct FileSteps {
    explicit FileSteps(std::wstring dataFile, bool renamesOver = SystemRenamesOver());
    ~FileSteps();
    FileSteps(const FileSteps&) = delete;
    FileSteps& operator=(const FileSteps&) = delete;

    FileContents Read();
    bool CreateTemp();
    bool WriteTemp(const std::string& bytes);
    bool FlushTemp();
    bool CloseTemp();
    bool RenamesOver() const { return renamesOver; }
    bool ReplaceWithTemp();
    bool MoveDataAside();
    bool MoveTempIn();
    bool RestoreData();
    void DropBackup();
    void DiscardTemp();

    std::wstring path;
    bool renamesOver;
    std::string file, temp, backup; // the three names, in the ANSI code page
    bool tempExists = false;
    OwnedHandle handle; // the temporary file's, while it is open
};

} // namespace store
