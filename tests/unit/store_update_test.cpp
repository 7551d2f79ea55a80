// The order of a write's file-system steps, against a disk that can fail at
// any step: the data file is always either the old one or the new one.
#include "store/update.h"
#include "store/data_path.h"
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using store::FileContents;
using store::FileState;

// An in-memory folder holding the data file, the temporary file and the
// backup. The step numbered failAt does its work (half of it, for the write)
// and then reports failure, as a disk that fills up or a rename whose answer
// is lost would; with crash set, the power goes then and no later step does
// anything, until the next start.
struct FakeDisk {
    std::optional<std::string> data{};
    bool unreadable = false;
    bool renamesOver = true;
    int failAt = 0;
    bool crash = false;
    std::optional<std::string> temp{}, backup{};
    bool tempOpen = false;
    int step = 0;
    std::vector<std::string> calls{};
    std::vector<std::optional<std::string>> seen{}; // what the next Read would find, every step

    bool Ok(const char* name) {
        calls.push_back(name);
        seen.push_back(data ? data : backup);
        if (++step != failAt) return true;
        if (crash) failAt = -1; // nothing happens any more
        return false;
    }
    bool Dead() const { return failAt < 0; }
    FileContents Read() {
        if (Dead()) return {FileState::Unreadable, {}};
        if (!data && backup) data.swap(backup);
        if (!Ok("read") || unreadable) return {FileState::Unreadable, {}};
        return data ? FileContents{FileState::Present, *data} : FileContents{};
    }
    bool CreateTemp() {
        if (Dead()) return false;
        temp = "";
        tempOpen = true;
        return Ok("create");
    }
    bool WriteTemp(const std::string& bytes) {
        if (Dead()) return false;
        const bool ok = Ok("write");
        *temp = ok ? bytes : bytes.substr(0, bytes.size() / 2);
        return ok;
    }
    bool FlushTemp() { return !Dead() && Ok("flush"); }
    bool CloseTemp() {
        if (Dead()) return false;
        tempOpen = false;
        return Ok("close");
    }
    bool RenamesOver() const { return renamesOver; }
    // A rename refuses a name that is taken, except the one that renames over.
    bool Move(std::optional<std::string>& from, std::optional<std::string>& to, const char* name,
              bool over = false) {
        if (Dead()) return false;
        const bool free = over || !to;
        if (free) to = from, from.reset();
        return Ok(name) && free;
    }
    bool ReplaceWithTemp() { return Move(temp, data, "replace", true); }
    bool MoveDataAside() {
        if (!Dead()) backup.reset();
        return Move(data, backup, "aside");
    }
    bool MoveTempIn() { return Move(temp, data, "in"); }
    bool RestoreData() { return Move(backup, data, "restore"); }
    void DropBackup() {
        if (Dead()) return;
        backup.reset();
        Ok("drop");
    }
    void DiscardTemp() {
        if (Dead()) return;
        calls.push_back("discard");
        tempOpen = false;
        temp.reset();
    }
};

std::optional<std::string> Append(const FileContents& current) {
    return current.bytes + "+new";
}

using Calls = std::vector<std::string>;
const Calls kWrite{"read", "create", "write", "flush", "close"};

Calls Then(Calls calls, const Calls& more) {
    calls.insert(calls.end(), more.begin(), more.end());
    return calls;
}

TEST(StoreUpdate, ASuccessfulWriteGoesThroughTheTemporaryFileInOrder) {
    FakeDisk disk{.data = "old"};
    EXPECT_TRUE(store::UpdateFile(disk, Append));
    EXPECT_EQ(disk.data, "old+new");
    EXPECT_FALSE(disk.temp.has_value());
    EXPECT_EQ(disk.calls, Then(kWrite, {"replace"}));

    // Without a rename over a file: the old one aside, the new one in, the
    // old one deleted; with no old file, only the rename in.
    FakeDisk aside{.data = "old", .renamesOver = false};
    EXPECT_TRUE(store::UpdateFile(aside, Append));
    EXPECT_EQ(aside.data, "old+new");
    EXPECT_FALSE(aside.temp || aside.backup);
    EXPECT_EQ(aside.calls, Then(kWrite, {"aside", "in", "drop"}));
    FakeDisk none{.renamesOver = false};
    EXPECT_TRUE(store::UpdateFile(none, Append));
    EXPECT_EQ(none.calls, Then(kWrite, {"in"}));
}

// Each step of both ways of replacing fails in turn, or the power goes there.
// What the next read finds (the data file, or the backup it recovers) is the
// old file or the new one at every step, and after the next start a save
// works and leaves nothing beside the data file.
TEST(StoreUpdate, AFailureOrCrashAtAnyStepLeavesTheOldOrTheNewFile) {
    for (bool renamesOver : {true, false})
        for (bool crash : {false, true})
            for (int failAt = 1; failAt <= (renamesOver ? 6 : 8); ++failAt) {
                SCOPED_TRACE(testing::Message() << "renames over " << renamesOver << ", crash "
                                                << crash << ", step " << failAt);
                FakeDisk disk{
                    .data = "old", .renamesOver = renamesOver, .failAt = failAt, .crash = crash};
                const bool saved = store::UpdateFile(disk, Append);
                for (const auto& seen : disk.seen) EXPECT_TRUE(seen == "old" || seen == "old+new");
                // Only a failure after the new file took the name leaves it
                // (the backup's deletion failing does not fail the save).
                const int named = renamesOver ? 6 : 7;
                EXPECT_EQ(saved, !renamesOver && failAt == 8);
                if (!crash) {
                    EXPECT_EQ(disk.data, failAt >= named ? "old+new" : "old");
                    EXPECT_FALSE(disk.temp.has_value());
                    EXPECT_FALSE(disk.tempOpen);
                }

                disk.failAt = 0; // the next start
                const FileContents next = disk.Read();
                EXPECT_TRUE(next.bytes == "old" || next.bytes == "old+new");
                EXPECT_TRUE(store::UpdateFile(disk, Append));
                EXPECT_EQ(disk.data, next.bytes + "+new");
                EXPECT_FALSE(disk.temp || disk.backup);
            }
}

TEST(StoreUpdate, AMissingFileIsCreatedAndAFailedCreationLeavesNone) {
    FakeDisk disk;
    EXPECT_TRUE(store::UpdateFile(disk, Append));
    EXPECT_EQ(disk.data, "+new");

    for (int failAt = 2; failAt <= 5; ++failAt) {
        FakeDisk failing{.failAt = failAt};
        EXPECT_FALSE(store::UpdateFile(failing, Append));
        EXPECT_FALSE(failing.data.has_value()) << "step " << failAt;
        EXPECT_FALSE(failing.temp.has_value()) << "step " << failAt;
    }
}

TEST(StoreUpdate, NothingIsWrittenOverAnUnreadableFileOrForARefusedEdit) {
    FakeDisk unreadable{.data = "old", .unreadable = true};
    EXPECT_FALSE(store::UpdateFile(unreadable, Append));
    EXPECT_EQ(unreadable.calls, std::vector<std::string>{"read"});
    EXPECT_EQ(unreadable.data, "old");

    FakeDisk refused{.data = "old"};
    EXPECT_FALSE(store::UpdateFile(
        refused, [](const FileContents&) -> std::optional<std::string> { return std::nullopt; }));
    EXPECT_EQ(refused.calls, std::vector<std::string>{"read"});
}

TEST(StoreUpdate, UnchangedContentsAreNotRewritten) {
    FakeDisk disk{.data = "same"};
    EXPECT_TRUE(store::UpdateFile(
        disk, [](const FileContents& c) -> std::optional<std::string> { return c.bytes; }));
    EXPECT_EQ(disk.calls, std::vector<std::string>{"read"});

    // An empty file that stays empty is still there; a missing one that would
    // be empty is created.
    FakeDisk missing;
    EXPECT_TRUE(store::UpdateFile(
        missing, [](const FileContents&) -> std::optional<std::string> { return ""; }));
    EXPECT_EQ(missing.data, "");
}

} // namespace

// c:\windows wins wherever it is a folder; elsewhere the system's Windows folder.
TEST(StoreDataFile, TheUsualFolderWhereItIsOneElseTheWindowsFolder) {
    constexpr unsigned long kFolder = 0x10, kMissing = 0xFFFFFFFF, kFile = 0x20;
    EXPECT_EQ(store::DataFileIn(kFolder, L"D:\\WINNT"), L"c:\\windows\\vexidle.dat");
    EXPECT_EQ(store::DataFileIn(kFolder | 0x01, L"C:\\WINDOWS"), L"c:\\windows\\vexidle.dat");
    EXPECT_EQ(store::DataFileIn(kMissing, L"C:\\WINNT"), L"C:\\WINNT\\vexidle.dat");
    EXPECT_EQ(store::DataFileIn(kFile, L"C:\\WINNT"), L"C:\\WINNT\\vexidle.dat");
    EXPECT_EQ(store::DataFileIn(kMissing, L"D:\\WINDOWS"), L"D:\\WINDOWS\\vexidle.dat");
    EXPECT_EQ(store::DataFileIn(kMissing, L"E:\\"), L"E:\\vexidle.dat");
    // Without the system's answer, the usual path (which then fails as before).
    EXPECT_EQ(store::DataFileIn(kMissing, L""), L"c:\\windows\\vexidle.dat");
}
