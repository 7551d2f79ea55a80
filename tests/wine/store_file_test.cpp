// FileExists, ReadIni and WriteIni on real files, and the writes that must
// fail without changing anything: a missing folder, a read-only, locked or
// oversized file, a failure at any step of the temporary-file dance.
#include "store/aolkit_store.h"
#include "store/data_file.h"
#include "tests/wine/store_file_util.h"
#include <gtest/gtest.h>
#include <cstdlib>

namespace {

const std::wstring kPrefs = L"Prefs";

// The folder holds the data file and nothing else: no temporary file left.
void ExpectOnly(const ScratchFolder& folder, const std::vector<std::wstring>& names) {
    EXPECT_EQ(folder.Names(), names);
}

TEST(StoreFileExists, OnlyAnExistingOrdinaryFileCounts) {
    ScratchFolder folder;
    EXPECT_FALSE(AolKit::FileExists(L""));
    EXPECT_FALSE(AolKit::FileExists(folder / L"vexidle.dat"));
    PutFile(folder / L"vexidle.dat", "");
    EXPECT_TRUE(AolKit::FileExists(folder / L"vexidle.dat"));
    CreateDirectoryW((folder / L"sub").c_str(), nullptr);
    EXPECT_FALSE(AolKit::FileExists(folder / L"sub"));
    EXPECT_FALSE(AolKit::FileExists(folder.path));
    // Wine shows files whose names start with a dot as hidden.
    PutFile(folder / L".hidden.dat", "[Prefs]\r\n");
    ASSERT_TRUE(GetFileAttributesW((folder / L".hidden.dat").c_str()) & FILE_ATTRIBUTE_HIDDEN);
    EXPECT_FALSE(AolKit::FileExists(folder / L".hidden.dat"));
    // Where c:\windows is a folder, as here, the data file is where it always was.
    EXPECT_EQ(DataFile(), L"c:\\windows\\vexidle.dat");
}

TEST(StoreReadIni, MissingFileSectionOrKeyReadsEmpty) {
    ScratchFolder folder;
    const std::wstring file = folder / L"vexidle.dat";
    EXPECT_EQ(AolKit::ReadIni(kPrefs, L"Reason", file), L"");
    EXPECT_EQ(AolKit::ReadIni(kPrefs, L"Reason", folder / L"no\\such\\vexidle.dat"), L"");
    ASSERT_TRUE(AolKit::WriteIni(kPrefs, L"Reason", L"brb", file));
    EXPECT_EQ(AolKit::ReadIni(L"Time", L"Time", file), L"");
    EXPECT_EQ(AolKit::ReadIni(kPrefs, L"Link", file), L"");
    EXPECT_EQ(AolKit::ReadIni(kPrefs, L"Reason", file), L"brb");
}

TEST(StoreReadIni, AKeyStoredInAnyCaseIsFound) {
    ScratchFolder folder;
    const std::wstring file = folder / L"vexidle.dat";
    for (const char* line : {"Reason=a", "REASON=a", "reason=a", "  rEaSoN = a "}) {
        PutFile(file, std::string("[Prefs]\r\n") + line + "\r\n");
        EXPECT_EQ(AolKit::ReadIni(kPrefs, L"Reason", file), L"a") << line;
    }
}

TEST(StoreReadIni, ValuesComeBackCutTo749Characters) {
    ScratchFolder folder;
    const std::wstring file = folder / L"vexidle.dat";
    for (std::size_t length : {748u, 749u, 750u, 800u, 5000u}) {
        const std::string value(length, 'x');
        PutFile(file, "[Prefs]\r\nREASON=" + value + "\r\nLINK=\"" + value + "\"\r\n");
        const std::wstring expected(std::min<std::size_t>(length, 749), L'x');
        EXPECT_EQ(AolKit::ReadIni(kPrefs, L"Reason", file), expected) << length;
        EXPECT_EQ(AolKit::ReadIni(kPrefs, L"Link", file), expected) << length;
    }
}

TEST(StoreReadIni, EachEncodingReadsAsTheSameCharacters) {
    ScratchFolder folder;
    const std::wstring file = folder / L"vexidle.dat";
    const std::wstring expected = L"caf\u00e9 \u2022";
    PutFile(file, "[Prefs]\r\nREASON=caf\xE9 \x95\r\n");
    EXPECT_EQ(AolKit::ReadIni(kPrefs, L"Reason", file), expected);
    PutFile(file, "\xEF\xBB\xBF[Prefs]\r\nREASON=caf\xC3\xA9 \xE2\x80\xA2\r\n");
    EXPECT_EQ(AolKit::ReadIni(kPrefs, L"Reason", file), expected);
    const std::u16string utf16 = u"[Prefs]\r\nREASON=caf\u00e9 \u2022\r\n";
    std::string le = "\xFF\xFE";
    for (char16_t u : utf16) le += {static_cast<char>(u & 0xFF), static_cast<char>(u >> 8)};
    PutFile(file, le);
    EXPECT_EQ(AolKit::ReadIni(kPrefs, L"Reason", file), expected);
}

TEST(StoreWriteIni, CreatesTheFileKeysUpperCasedEmptyValuesKept) {
    ScratchFolder folder;
    const std::wstring file = folder / L"vexidle.dat";
    ASSERT_TRUE(AolKit::WriteIni(kPrefs, L"Reason", L"brb", file));
    ASSERT_TRUE(AolKit::WriteIni(kPrefs, L"Link", L"", file));
    ASSERT_TRUE(AolKit::WriteIni(L"Time", L"Time", L"0", file));
    EXPECT_EQ(FileBytes(file), "[Prefs]\r\nREASON=brb\r\nLINK=\r\n[Time]\r\nTIME=0\r\n");
    EXPECT_EQ(AolKit::ReadIni(kPrefs, L"Link", file), L"");
    EXPECT_TRUE(AolKit::FileExists(file));
    ExpectOnly(folder, {L"vexidle.dat"});
}

TEST(StoreWriteIni, ReplacesInPlaceAndKeepsEverythingElse) {
    ScratchFolder folder;
    const std::wstring file = folder / L"vexidle.dat";
    const std::string before = "; hand-made\n\n[Other]\nX = 1\n[prefs]\r\nreason=old\r\nLINK=l";
    PutFile(file, before);
    ASSERT_TRUE(AolKit::WriteIni(kPrefs, L"Reason", L"new", file));
    ASSERT_TRUE(AolKit::WriteIni(kPrefs, L"Text", L"t", file));
    EXPECT_EQ(FileBytes(file),
              "; hand-made\n\n[Other]\nX = 1\n[prefs]\r\nreason=new\r\nLINK=l\r\nTEXT=t\r\n");
}

TEST(StoreWriteIni, WhatIsWrittenReadsBackExactly) {
    ScratchFolder folder;
    const std::wstring files[] = {folder / L"ansi.dat", folder / L"utf8.dat",
                                  folder / L"utf16.dat"};
    PutFile(files[1], "\xEF\xBB\xBF");
    PutFile(files[2], "\xFF\xFE");
    const std::wstring values[] = {
        L" brb ", L"\"brb\"",          L"'x'",   L"\tx",
        L"",      L"caf\u00e9 \u2022", L"a=b;c", std::wstring(749, L'v')};
    for (const std::wstring& file : files)
        for (const std::wstring& value : values) {
            ASSERT_TRUE(AolKit::WriteIni(kPrefs, L"Reason", value, file));
            EXPECT_EQ(AolKit::ReadIni(kPrefs, L"Reason", file), value);
        }
    // Outside code page 1252 only the Unicode files keep a character.
    ASSERT_TRUE(AolKit::WriteIni(kPrefs, L"Text", L"\u263a", files[0]));
    EXPECT_EQ(AolKit::ReadIni(kPrefs, L"Text", files[0]), L"?");
    for (const std::wstring& file : {files[1], files[2]}) {
        ASSERT_TRUE(AolKit::WriteIni(kPrefs, L"Text", L"\u263a", file));
        EXPECT_EQ(AolKit::ReadIni(kPrefs, L"Text", file), L"\u263a");
    }
    EXPECT_EQ(FileBytes(files[1])->substr(0, 3), "\xEF\xBB\xBF");
    EXPECT_EQ(FileBytes(files[2])->substr(0, 4), std::string("\xFF\xFE[\0", 4));
}

TEST(StoreWriteIni, ALineBreakInAValueIsRefusedAndChangesNothing) {
    ScratchFolder folder;
    const std::wstring file = folder / L"vexidle.dat";
    PutFile(file, "[Prefs]\r\nREASON=old\r\n");
    EXPECT_FALSE(AolKit::WriteIni(kPrefs, L"Reason", L"a\r\nLINK=evil", file));
    EXPECT_FALSE(AolKit::WriteIni(kPrefs, L"Reason", std::wstring(L"a\0b", 3), file));
    EXPECT_EQ(FileBytes(file), "[Prefs]\r\nREASON=old\r\n");
    ExpectOnly(folder, {L"vexidle.dat"});
}

TEST(StoreWriteFailures, AMissingFolderFailsAndCreatesNothing) {
    ScratchFolder folder;
    const std::wstring file = folder / L"missing\\vexidle.dat";
    EXPECT_FALSE(AolKit::WriteIni(kPrefs, L"Reason", L"brb", file));
    EXPECT_EQ(GetFileAttributesW((folder / L"missing").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_FALSE(AolKit::FileExists(file));
    ExpectOnly(folder, {});
}

TEST(StoreWriteFailures, AReadOnlyFileIsNotReplaced) {
    ScratchFolder folder;
    const std::wstring file = folder / L"vexidle.dat";
    PutFile(file, "[Time]\r\nTIME=5\r\n");
    ASSERT_TRUE(SetFileAttributesW(file.c_str(), FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(AolKit::WriteIni(L"Time", L"Time", L"6", file));
    EXPECT_EQ(FileBytes(file), "[Time]\r\nTIME=5\r\n");
    EXPECT_TRUE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_READONLY);
    EXPECT_EQ(AolKit::ReadIni(L"Time", L"Time", file), L"5");
    // What is stored already needs no write, so that succeeds.
    EXPECT_TRUE(AolKit::WriteIni(L"Time", L"Time", L"5", file));
    ExpectOnly(folder, {L"vexidle.dat"});
}

TEST(StoreWriteFailures, AFileHeldOpenByAnotherProgramIsNotReplaced) {
    ScratchFolder folder;
    const std::wstring file = folder / L"vexidle.dat";
    PutFile(file, "[Time]\r\nTIME=5\r\n");
    for (DWORD share : {DWORD{0}, DWORD{FILE_SHARE_READ | FILE_SHARE_WRITE}}) {
        HANDLE held =
            CreateFileW(file.c_str(), GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
        ASSERT_NE(held, INVALID_HANDLE_VALUE);
        EXPECT_FALSE(AolKit::WriteIni(L"Time", L"Time", L"6", file)) << share;
        CloseHandle(held);
        EXPECT_EQ(FileBytes(file), "[Time]\r\nTIME=5\r\n");
        ExpectOnly(folder, {L"vexidle.dat"});
    }
}

TEST(StoreWriteFailures, AFolderOrAnOversizedFileInItsPlaceIsLeftAlone) {
    ScratchFolder folder;
    const std::wstring file = folder / L"vexidle.dat";
    CreateDirectoryW(file.c_str(), nullptr);
    EXPECT_FALSE(AolKit::WriteIni(L"Time", L"Time", L"6", file));
    EXPECT_TRUE(GetFileAttributesW(file.c_str()) & FILE_ATTRIBUTE_DIRECTORY);
    RemoveDirectoryW(file.c_str());

    const std::string big = "[Time]\r\nTIME=5\r\n" + std::string(store::kMaxFileSize, ';');
    PutFile(file, big);
    EXPECT_EQ(AolKit::ReadIni(L"Time", L"Time", file), L"");
    EXPECT_FALSE(AolKit::WriteIni(L"Time", L"Time", L"6", file));
    EXPECT_EQ(FileBytes(file)->size(), big.size());
    ExpectOnly(folder, {L"vexidle.dat"});
}

// The real steps, each followed by a look at the data file; the step numbered
// failAt does its work (half of it, for the write) and then reports failure.
// The real steps, with the one numbered failAt reported failed after it ran;
// with crash set, nothing runs after it, as when the program is killed there.
struct FailingSteps {
    store::FileSteps real;
    int failAt;
    bool crash;
    int step = 0;
    std::vector<std::optional<std::string>> seen{};

    // What the next read finds: the data file, or the backup it renames back
    // when the data file is missing.
    bool Next(bool ok) {
        const std::optional<std::string> bytes = FileBytes(real.path);
        seen.push_back(bytes ? bytes : FileBytes(Wide(real.backup)));
        return ++step != failAt && ok;
    }
    bool Dead() const { return crash && step >= failAt; }
    store::FileContents Read() {
        store::FileContents contents = real.Read();
        return Next(true) ? contents : store::FileContents{store::FileState::Unreadable, {}};
    }
    bool CreateTemp() { return !Dead() && Next(real.CreateTemp()); }
    bool WriteTemp(const std::string& bytes) {
        const bool torn = step + 1 == failAt;
        return !Dead() && Next(real.WriteTemp(torn ? bytes.substr(0, bytes.size() / 2) : bytes));
    }
    bool FlushTemp() { return !Dead() && Next(real.FlushTemp()); }
    bool CloseTemp() { return !Dead() && Next(real.CloseTemp()); }
    bool RenamesOver() const { return real.RenamesOver(); }
    bool ReplaceWithTemp() { return !Dead() && Next(real.ReplaceWithTemp()); }
    bool MoveDataAside() { return !Dead() && Next(real.MoveDataAside()); }
    bool MoveTempIn() { return !Dead() && Next(real.MoveTempIn()); }
    bool RestoreData() { return !Dead() && Next(real.RestoreData()); }
    void DropBackup() {
        if (!Dead()) real.DropBackup(), Next(true);
    }
    void DiscardTemp() {
        if (!Dead()) return real.DiscardTemp();
        real.handle.Close(); // a killed program's handle closes, its file stays
        real.tempExists = false;
    }
};

// Both ways of replacing (one rename over the file; the backup's two renames
// of Windows 95, 98 and ME), failed or killed at each step in turn: the data
// file's path always reads as the old or the new contents, and the next save
// works and leaves nothing else beside it.
TEST(StoreFaultInjection, AWriteInterruptedAtAnyStepLeavesTheOldOrTheNewFile) {
    const std::string old = "[Time]\r\nTIME=5\r\n";
    const std::string next = old + std::string(100000, ';') + "\r\n";
    const auto edit = [&](const store::FileContents&) -> std::optional<std::string> {
        return next;
    };
    for (bool renamesOver : {true, false})
        for (bool crash : {false, true})
            for (bool existed : {true, false})
                for (int failAt = 1;; ++failAt) {
                    SCOPED_TRACE(std::string(renamesOver ? "rename over" : "backup") +
                                 (crash ? ", killed" : ", failed") +
                                 (existed ? ", old file, step " : ", no file, step ") +
                                 std::to_string(failAt));
                    ScratchFolder folder;
                    const std::wstring file = folder / L"vexidle.dat";
                    if (existed) PutFile(file, old);
                    const std::optional<std::string> before = FileBytes(file);
                    FailingSteps steps{store::FileSteps(file, renamesOver), failAt, crash};
                    const bool done = store::UpdateFile(steps, edit);
                    for (const auto& seen : steps.seen) EXPECT_TRUE(seen == before || seen == next);
                    const store::FileContents after = store::ReadDataFile(file);
                    const std::optional<std::string> now = after.state == store::FileState::Present
                                                               ? std::optional(after.bytes)
                                                               : std::nullopt;
                    EXPECT_TRUE(now == before || now == next);
                    if (steps.step < failAt) { // every step ran, none failed
                        EXPECT_TRUE(done);
                        EXPECT_EQ(now, next);
                        ExpectOnly(folder, {L"vexidle.dat"});
                        break;
                    }
                    store::FileSteps again(file, renamesOver);
                    EXPECT_TRUE(store::UpdateFile(again, [&](const store::FileContents&) {
                        return std::optional(old + "\r\n");
                    }));
                    EXPECT_EQ(FileBytes(file), old + "\r\n");
                    ExpectOnly(folder, {L"vexidle.dat"});
                }
}

// Root ignores a read-only file, so this runs through store_immutable.sh,
// which makes the file immutable (chattr +i) and names it here.
TEST(StoreImmutable, AFileTheSystemRefusesToReplaceChangesNothing) {
    const char* name = std::getenv("IDLER_IMMUTABLE_DATA_FILE");
    if (!name) GTEST_SKIP() << "runs through tests/wine/store_immutable.sh (chattr +i)";
    const std::wstring file = Wide(name);
    const std::optional<std::string> before = FileBytes(file);
    ASSERT_EQ(before, "[Prefs]\r\nREASON=kept\r\n");
    EXPECT_EQ(AolKit::ReadIni(kPrefs, L"Reason", file), L"kept");
    EXPECT_FALSE(AolKit::WriteIni(kPrefs, L"Reason", L"changed", file));
    EXPECT_FALSE(AolKit::WriteIni(L"Time", L"Time", L"0", file));
    EXPECT_EQ(FileBytes(file), before);
    const std::wstring folder = file.substr(0, file.find_last_of(L'\\') + 1);
    WIN32_FIND_DATAW found;
    HANDLE search = FindFirstFileW((folder + L"*.tmp").c_str(), &found);
    EXPECT_EQ(search, INVALID_HANDLE_VALUE) << "a temporary file was left behind";
    if (search != INVALID_HANDLE_VALUE) FindClose(search);
}

} // namespace
