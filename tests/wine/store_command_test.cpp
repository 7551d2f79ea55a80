// The six data-file commands on a real Form1 (a plain window with the
// controls and menu entry they use) and the real data file
// c:\windows\vexidle.dat; their message boxes are read and answered from a
// second thread while the handler waits in them.
#include "store/aolkit_store.h"
#include "store/commands.h"
#include "store/data_path.h"
#include "tests/wine/store_file_util.h"
#include "window/form1.h"
#include <gtest/gtest.h>
#include <atomic>
#include <thread>

namespace {

// Where the commands keep the data file under Wine.
constexpr const wchar_t* kDataFile = store::kFixedDataFile;

const std::string kResetFile = "[Time]\r\nTIME=0\r\n[Prefs]\r\nREASON=\r\nLINK=\r\nTEXT=\r\n"
                               "[Checks]\r\nCHECKED=UnChecked\r\n";

// What a message box showed, and what the counter read while it was up.
struct Box {
    std::wstring title, prompt;
    bool ok = false, yes = false, no = false, cancel = false;
    int defaultButton = 0; // the one drawn as the default push button
    std::wstring counter;
};

// Answers every message box of the test's thread: Yes or No for a Yes/No box
// as told, OK otherwise. Runs until destroyed; the boxes a handler showed are
// all in `boxes` once the handler has returned, since each box is modal.
struct BoxAnswerer {
    DWORD thread = GetCurrentThreadId();
    HWND counter;
    int yesNo;
    std::vector<Box> boxes{};
    std::atomic<bool> stop{false};
    std::thread worker;

    BoxAnswerer(HWND counterBox, int yesNoAnswer)
        : counter(counterBox), yesNo(yesNoAnswer), worker([this] { Run(); }) {}
    ~BoxAnswerer() {
        stop = true;
        worker.join();
    }

    static BOOL CALLBACK Find(HWND window, LPARAM found) {
        wchar_t name[16];
        GetClassNameW(window, name, 16);
        if (std::wstring(name) == L"#32770" && IsWindowVisible(window)) {
            *reinterpret_cast<HWND*>(found) = window;
            return FALSE;
        }
        return TRUE;
    }

    static std::wstring Text(HWND window) {
        wchar_t text[512] = {};
        SendMessageTimeoutW(window, WM_GETTEXT, 512, reinterpret_cast<LPARAM>(text), SMTO_BLOCK,
                            5000, nullptr);
        return text;
    }

    void Run() {
        while (!stop) {
            HWND box = nullptr;
            EnumThreadWindows(thread, Find, reinterpret_cast<LPARAM>(&box));
            if (!box) {
                Sleep(10);
                continue;
            }
            Box seen;
            seen.title = Text(box);
            seen.prompt = Text(GetDlgItem(box, 0xFFFF));
            seen.ok = GetDlgItem(box, IDOK) != nullptr;
            seen.yes = GetDlgItem(box, IDYES) != nullptr;
            seen.no = GetDlgItem(box, IDNO) != nullptr;
            seen.cancel = GetDlgItem(box, IDCANCEL) != nullptr;
            for (int id : {IDOK, IDYES, IDNO, IDCANCEL}) {
                const HWND button = GetDlgItem(box, id);
                if (button && (GetWindowLongW(button, GWL_STYLE) & 0x0F) == BS_DEFPUSHBUTTON)
                    seen.defaultButton = id;
            }
            seen.counter = Text(counter);
            boxes.push_back(seen);
            const int answer = seen.yes ? yesNo : IDOK;
            PostMessageW(box, WM_COMMAND, MAKEWPARAM(answer, BN_CLICKED),
                         reinterpret_cast<LPARAM>(GetDlgItem(box, answer)));
            for (int i = 0; i < 500 && IsWindow(box); ++i) Sleep(10);
        }
    }
};

// Runs a handler, answering its boxes; returns the boxes it showed.
template <class Handler>
std::vector<Box> Answering(Form1& form, Handler handler, int yesNo = IDYES) {
    BoxAnswerer answerer(form.Text1, yesNo);
    handler(form);
    std::this_thread::yield();
    return answerer.boxes;
}

void ExpectOkBox(const Box& box, const wchar_t* prompt, const wchar_t* title) {
    EXPECT_EQ(box.prompt, prompt);
    EXPECT_EQ(box.title, title);
    EXPECT_TRUE(box.ok);
    EXPECT_FALSE(box.yes || box.no || box.cancel);
}

// The window's state the commands may read or set.
struct State {
    std::wstring text1, text2, text3, text4;
    int check1;
    bool silentMark;
    bool operator==(const State&) const = default;
};

void PrintTo(const State& s, std::ostream* out) {
    *out << "{" << testing::PrintToString(s.text1) << ", " << testing::PrintToString(s.text2)
         << ", " << testing::PrintToString(s.text3) << ", " << testing::PrintToString(s.text4)
         << ", check " << s.check1 << ", mark " << s.silentMark << "}";
}

State StateOf(const Form1& form) {
    return {GetText(form.Text1), GetText(form.Text2), GetText(form.Text3),
            GetText(form.Text4), Check1_Value(form),  MenuChecked(form, kMnuSilent)};
}

class StoreCommands : public testing::Test {
  protected:
    void SetUp() override {
        saved_ = FileBytes(kDataFile);
        RemoveFile(kDataFile);
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = DefWindowProcW;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"StoreCommandTest";
        RegisterClassW(&windowClass);
        form_.hwnd = CreateWindowExW(0, L"StoreCommandTest", L"", WS_POPUP, 0, 0, 314, 118, nullptr,
                                     nullptr, windowClass.hInstance, nullptr);
        HWND* texts[] = {&form_.Text1, &form_.Text2, &form_.Text3, &form_.Text4};
        for (HWND* text : texts)
            *text = CreateWindowExW(0, L"EDIT", L"", WS_CHILD | ES_AUTOHSCROLL, 0, 0, 100, 20,
                                    form_.hwnd, nullptr, windowClass.hInstance, nullptr);
        form_.Check1 = CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | BS_AUTOCHECKBOX, 0, 0, 20, 20,
                                       form_.hwnd, nullptr, windowClass.hInstance, nullptr);
        form_.mnu_op = CreatePopupMenu();
        AppendMenuW(form_.mnu_op, MF_STRING, kMnuSilent, L"&Silent Mode");
        SetText(form_.Text1, L"0");
    }
    void TearDown() override {
        DestroyWindow(form_.hwnd); // the menu goes with Form1
        RemoveFile(kDataFile);
        if (saved_) PutFile(kDataFile, *saved_);
    }

    void Fill(const wchar_t* counter, const wchar_t* link, const wchar_t* text,
              const wchar_t* reason, int silent) {
        SetText(form_.Text1, counter);
        SetText(form_.Text2, text);
        SetText(form_.Text3, link);
        SetText(form_.Text4, reason);
        SetCheck1_Value(form_, silent);
        SetMenuChecked(form_, kMnuSilent, silent == 1);
    }

    Form1 form_{};
    std::optional<std::string> saved_;
};

TEST_F(StoreCommands, LoadPrefsWithoutAFileShowsOneBoxAndChangesNothing) {
    Fill(L"3", L"http://x/", L"here", L"brb", 1);
    const State before = StateOf(form_);
    const std::vector<Box> boxes = Answering(form_, mnu_Lpref_Click);
    ASSERT_EQ(boxes.size(), 1u);
    ExpectOkBox(boxes[0], L"You have no saved data!", L"Nothing to load!");
    EXPECT_EQ(StateOf(form_), before);
    EXPECT_FALSE(AolKit::FileExists(kDataFile));
}

TEST_F(StoreCommands, SavePrefsThenLoadPrefsBringsEverythingBackExactly) {
    Fill(L"5", L" http://example.com/?a=\"b\" ", L"\"quoted\"", L"caf\u00e9 \u2022 brb ", 1);
    const State saved = StateOf(form_);
    EXPECT_TRUE(Answering(form_, mnu_Spref_Click).empty());
    EXPECT_EQ(FileBytes(kDataFile), "[Prefs]\r\nREASON=\"caf\xE9 \x95 brb \"\r\n"
                                    "LINK=\" http://example.com/?a=\"b\" \"\r\n"
                                    "TEXT=\"\"quoted\"\"\r\n[Checks]\r\nCHECKED=Checked\r\n");
    Fill(L"5", L"", L"other", L"", 0);
    EXPECT_TRUE(Answering(form_, mnu_Lpref_Click).empty());
    EXPECT_EQ(StateOf(form_), saved);

    // Unchecked is stored as such and loads as Silent off.
    Fill(L"5", L"", L"", L"", 0);
    EXPECT_TRUE(Answering(form_, mnu_Spref_Click).empty());
    SetCheck1_Value(form_, 1);
    SetMenuChecked(form_, kMnuSilent, true);
    EXPECT_TRUE(Answering(form_, mnu_Lpref_Click).empty());
    EXPECT_EQ(Check1_Value(form_), 0);
    EXPECT_FALSE(MenuChecked(form_, kMnuSilent));
}

TEST_F(StoreCommands, LoadPrefsFromAFileWithoutPrefsEmptiesTheBoxesAndSilentGoesOff) {
    for (const char* file : {"[Time]\r\nTIME=4\r\n", "[Checks]\r\nCHECKED=checked\r\n",
                             "[Checks]\r\nCHECKED=\"Checked \"\r\n"}) {
        PutFile(kDataFile, file);
        Fill(L"3", L"http://x/", L"here", L"brb", 1);
        EXPECT_TRUE(Answering(form_, mnu_Lpref_Click).empty()) << file;
        EXPECT_EQ(StateOf(form_), (State{L"3", L"", L"", L"", 0, false})) << file;
    }
}

TEST_F(StoreCommands, SaveTimeAndLoadTimeReplaceTheCounter) {
    SetText(form_.Text1, L"17");
    EXPECT_TRUE(Answering(form_, mnu_Stime_Click).empty());
    SetText(form_.Text1, L"19");
    EXPECT_TRUE(Answering(form_, mnu_Ltime_Click).empty());
    EXPECT_EQ(GetText(form_.Text1), L"17");
    SetText(form_.Text1, L"21");
    EXPECT_TRUE(Answering(form_, mnu_Stime_Click).empty());
    EXPECT_EQ(FileBytes(kDataFile), "[Time]\r\nTIME=21\r\n");
}

TEST_F(StoreCommands, LoadTimeWithoutAFileShowsZeroThenTheBox) {
    SetText(form_.Text1, L"12");
    const std::vector<Box> boxes = Answering(form_, mnu_Ltime_Click);
    ASSERT_EQ(boxes.size(), 1u);
    ExpectOkBox(boxes[0], L"You have no saved time!", L"No time!");
    EXPECT_EQ(boxes[0].counter, L"0");
    EXPECT_EQ(GetText(form_.Text1), L"0");
}

TEST_F(StoreCommands, LoadTimeFromAFileWithoutTimeEmptiesTheCounterSilently) {
    PutFile(kDataFile, "[Prefs]\r\nREASON=brb\r\n");
    SetText(form_.Text1, L"12");
    EXPECT_TRUE(Answering(form_, mnu_Ltime_Click).empty());
    EXPECT_EQ(GetText(form_.Text1), L"");
}

TEST_F(StoreCommands, ResetTimeStoresZeroAndShowsWhatTheFileHolds) {
    SetText(form_.Text1, L"12");
    EXPECT_TRUE(Answering(form_, mnu_rtime_Click).empty());
    EXPECT_EQ(FileBytes(kDataFile), "[Time]\r\nTIME=0\r\n");
    EXPECT_EQ(GetText(form_.Text1), L"0");

    // A write that did not take effect shows: the counter reads the old time.
    PutFile(kDataFile, "[Time]\r\nTIME=40\r\n");
    SetFileAttributesW(kDataFile, FILE_ATTRIBUTE_READONLY);
    EXPECT_TRUE(Answering(form_, mnu_rtime_Click).empty());
    EXPECT_EQ(GetText(form_.Text1), L"40");
}

TEST_F(StoreCommands, ResetAllAsksFirstAndNoWritesNothing) {
    const std::vector<Box> none = Answering(form_, mnu_reset_Click, IDNO);
    ASSERT_EQ(none.size(), 2u);
    EXPECT_EQ(none[0].title, L"Delete All Data?");
    EXPECT_EQ(none[0].prompt, L"Are you sure you want to reset all recorded / saved data?"
                              L"\n\r\n\rThis will delete all time and prefs.");
    EXPECT_TRUE(none[0].yes && none[0].no);
    EXPECT_FALSE(none[0].ok || none[0].cancel);
    EXPECT_EQ(none[0].defaultButton, IDYES);
    ExpectOkBox(none[1], L"Deletion Aborted!", L"Nothing Deleted!");
    EXPECT_FALSE(AolKit::FileExists(kDataFile));

    const std::string file = "; mine\n[Time]\nTIME=9\n";
    PutFile(kDataFile, file);
    EXPECT_EQ(Answering(form_, mnu_reset_Click, IDNO).size(), 2u);
    EXPECT_EQ(FileBytes(kDataFile), file);
}

TEST_F(StoreCommands, ResetAllAnsweredYesResetsTheFileAndLeavesTheWindowAlone) {
    Fill(L"25", L"http://x/", L"here", L"brb", 1);
    const State before = StateOf(form_);
    const std::vector<Box> boxes = Answering(form_, mnu_reset_Click, IDYES);
    ASSERT_EQ(boxes.size(), 2u);
    ExpectOkBox(boxes[1], L"Deleted Successfully!", L"Deleted!");
    EXPECT_EQ(FileBytes(kDataFile), kResetFile);
    EXPECT_EQ(StateOf(form_), before);

    // Other entries of a hand-made file stay; the five take their first values.
    PutFile(kDataFile, "; mine\r\n[Prefs]\r\nREASON=x\r\nMORE=1\r\n[Time]\r\nTIME=9\r\n");
    EXPECT_EQ(Answering(form_, mnu_reset_Click, IDYES).size(), 2u);
    EXPECT_EQ(FileBytes(kDataFile), "; mine\r\n[Prefs]\r\nREASON=\r\nMORE=1\r\nLINK=\r\nTEXT=\r\n"
                                    "[Time]\r\nTIME=0\r\n[Checks]\r\nCHECKED=UnChecked\r\n");

    EXPECT_TRUE(Answering(form_, mnu_Ltime_Click).empty());
    EXPECT_TRUE(Answering(form_, mnu_Lpref_Click).empty());
    EXPECT_EQ(StateOf(form_), (State{L"0", L"", L"", L"", 0, false}));
}

TEST_F(StoreCommands, WritesAndReadsThatFailAreToldAndChangeNothing) {
    PutFile(kDataFile, "[Time]\r\nTIME=8\r\n");
    SetFileAttributesW(kDataFile, FILE_ATTRIBUTE_READONLY);
    Fill(L"12", L"http://x/", L"here", L"brb", 1);
    const State before = StateOf(form_);

    std::vector<Box> boxes = Answering(form_, mnu_Spref_Click);
    ASSERT_EQ(boxes.size(), 1u);
    ExpectOkBox(boxes[0], L"Your prefs could not be saved!", L"Not saved!");

    boxes = Answering(form_, mnu_Stime_Click);
    ASSERT_EQ(boxes.size(), 1u);
    ExpectOkBox(boxes[0], L"Your time could not be saved!", L"Not saved!");

    boxes = Answering(form_, mnu_reset_Click, IDYES);
    ASSERT_EQ(boxes.size(), 2u);
    ExpectOkBox(boxes[1], L"Your saved data could not be deleted!", L"Not deleted!");

    // A file another program holds without sharing cannot be read.
    HANDLE held = CreateFileW(kDataFile, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    for (auto load : {mnu_Lpref_Click, mnu_Ltime_Click}) {
        boxes = Answering(form_, load);
        ASSERT_EQ(boxes.size(), 1u);
        ExpectOkBox(boxes[0], L"Your saved data could not be read!", L"Not loaded!");
    }
    CloseHandle(held);

    EXPECT_EQ(FileBytes(kDataFile), "[Time]\r\nTIME=8\r\n");
    EXPECT_EQ(StateOf(form_), before);

    // A text the file cannot hold (a line break) is refused and told too.
    SetFileAttributesW(kDataFile, FILE_ATTRIBUTE_NORMAL);
    SetText(form_.Text4, L"two\r\nlines");
    boxes = Answering(form_, mnu_Spref_Click);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].title, L"Not saved!");
    EXPECT_EQ(AolKit::ReadIni(L"Prefs", L"Reason", kDataFile), L"");
    EXPECT_EQ(AolKit::ReadIni(L"Prefs", L"Link", kDataFile), L"http://x/");
}

} // namespace
