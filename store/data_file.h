#pragma once
// The data file on disk: reading it whole, and the steps of a write on real
// files (see store/update.h).
#include "store/update.h"
#include <windows.h>
#include <string>

namespace store {

// A bigger file is taken as unreadable: neither misread nor replaced.
inline constexpr unsigned long kMaxFileSize = 16UL * 1024 * 1024;

// The file's bytes; Missing when it or its folder does not exist, Unreadable
// when it exists but cannot be read whole (locked, a folder, too big).
FileContents ReadDataFile(const std::wstring& path);

// The temporary file is made by GetTempFileNameW in the data file's folder, so
// the rename stays on one volume and is atomic. It replaces the data file with
// MoveFileExW(MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH): one rename
// that either happens whole or not at all, on every Windows since XP, where
// ReplaceFileW needs the old file to exist and may stop half-way with the old
// file moved aside.
struct FileSteps {
    explicit FileSteps(std::wstring dataFile);
    ~FileSteps();
    FileSteps(const FileSteps&) = delete;
    FileSteps& operator=(const FileSteps&) = delete;

    FileContents Read();
    bool CreateTemp();
    bool WriteTemp(const std::string& bytes);
    bool FlushTemp();
    bool CloseTemp();
    bool ReplaceWithTemp();
    void DiscardTemp();

    std::wstring path;
    std::wstring temp; // the temporary file while it exists
    HANDLE handle = INVALID_HANDLE_VALUE;
};

} // namespace store
