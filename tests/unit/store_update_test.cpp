// The order of a write's file-system steps, against a disk that can fail at
// any step: the data file is always either the old one or the new one.
#include "store/update.h"
#include <gtest/gtest.h>
#include <optional>
#include <string>
#include <vector>

namespace {

using store::FileContents;
using store::FileState;

// An in-memory folder holding the data file and at most one temporary file.
// The step numbered failAt does its work (half of it, for the write) and then
// reports failure, as a disk that fills up or a rename that is refused would.
struct FakeDisk {
    std::optional<std::string> data{};
    bool unreadable = false;
    std::optional<std::string> temp{};
    bool tempOpen = false;
    int failAt = 0;
    int step = 0;
    std::vector<std::string> calls{};
    std::vector<std::optional<std::string>> seen{}; // the data file at every step

    bool Ok(const char* name) {
        calls.push_back(name);
        seen.push_back(data);
        return ++step != failAt;
    }
    FileContents Read() {
        if (!Ok("read") || unreadable) return {FileState::Unreadable, {}};
        return data ? FileContents{FileState::Present, *data} : FileContents{};
    }
    bool CreateTemp() {
        temp = "";
        tempOpen = true;
        return Ok("create");
    }
    bool WriteTemp(const std::string& bytes) {
        const bool ok = Ok("write");
        *temp = ok ? bytes : bytes.substr(0, bytes.size() / 2);
        return ok;
    }
    bool FlushTemp() { return Ok("flush"); }
    bool CloseTemp() {
        tempOpen = false;
        return Ok("close");
    }
    bool ReplaceWithTemp() {
        data = temp;
        temp.reset();
        return Ok("replace");
    }
    void DiscardTemp() {
        calls.push_back("discard");
        tempOpen = false;
        temp.reset();
    }
};

std::optional<std::string> Append(const FileContents& current) {
    return current.bytes + "+new";
}

TEST(StoreUpdate, ASuccessfulWriteGoesThroughTheTemporaryFileInOrder) {
    FakeDisk disk{.data = "old"};
    EXPECT_TRUE(store::UpdateFile(disk, Append));
    EXPECT_EQ(disk.data, "old+new");
    EXPECT_FALSE(disk.temp.has_value());
    EXPECT_EQ(disk.calls,
              (std::vector<std::string>{"read", "create", "write", "flush", "close", "replace"}));
}

TEST(StoreUpdate, AFailureAtAnyStepLeavesTheOldOrTheNewFileAndNoTemporaryFile) {
    for (int failAt = 1; failAt <= 6; ++failAt) {
        FakeDisk disk{.data = "old", .failAt = failAt};
        EXPECT_FALSE(store::UpdateFile(disk, Append)) << "step " << failAt;
        for (const auto& seen : disk.seen) EXPECT_TRUE(seen == "old" || seen == "old+new");
        // Only a rename that happened and was then reported failed shows the
        // new file; every earlier failure leaves the old one.
        EXPECT_EQ(disk.data, failAt == 6 ? "old+new" : "old") << "step " << failAt;
        EXPECT_FALSE(disk.temp.has_value()) << "step " << failAt;
        EXPECT_FALSE(disk.tempOpen) << "step " << failAt;
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
