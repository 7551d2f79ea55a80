// The engine's handlers on a real Form1 built in the test's own process, with
// no chat room open (their lines reach no window): the real mouse pointer,
// the box and mark of Silent mode, the window's size, the CPU a tick costs.
#include "system/ansi.h"
#include "client/send.h"
#include "engine/announce.h"
#include "engine/handlers.h"
#include "tests/wine/standin_harness.h"
#include "window/behaviour.h"
#include "window/form1.h"
#include <atomic>
#include <cstdio>
#include <gtest/gtest.h>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

class EngineForm : public ::testing::Test {
  protected:
    void SetUp() override {
        form = CreateForm1(GetModuleHandleW(nullptr));
        ASSERT_NE(form, nullptr);
    }
    void TearDown() override {
        if (form) DestroyWindow(form->hwnd); // the window frees the struct
    }
    Form1* form = nullptr;
};

// Polls the pointer until it stands at (x, y); the move may reach the display
// after SetCursorPos returns.
testing::AssertionResult CursorReaches(int x, int y) {
    POINT at{};
    for (const DWORD begun = GetTickCount(); GetTickCount() - begun < 3000; Sleep(10)) {
        GetCursorPos(&at);
        if (at.x == x && at.y == y) return testing::AssertionSuccess();
    }
    return testing::AssertionFailure()
           << "pointer at " << at.x << "," << at.y << ", expected " << x << "," << y;
}

TEST_F(EngineForm, MouseTicksMoveThePointerThroughTheFixedPoints) {
    SetCursorPos(900, 900); // outside 1..700, so every move shows
    ASSERT_TRUE(CursorReaches(900, 900));
    // The generator's first points from its fixed start (see the unit tests).
    Timer2_Timer(*form);
    EXPECT_TRUE(CursorReaches(619, 303));
    Timer2_Timer(*form);
    EXPECT_TRUE(CursorReaches(19, 680));

    // A second window, as in a second run, starts the same sequence again.
    Form1* second = CreateForm1(GetModuleHandleW(nullptr));
    ASSERT_NE(second, nullptr);
    Timer2_Timer(*second);
    EXPECT_TRUE(CursorReaches(619, 303));
    DestroyWindow(second->hwnd);
}

// SetTimer and KillTimer as this program calls them: through its import
// table's slots for them, which the test points at recorders for a while.
// The slot's symbol: stdcall names carry their argument bytes on 32-bit x86.
#ifdef _WIN64
#define IMPORT_SLOT(name, bytes) __asm__("__imp_" #name)
#else
#define IMPORT_SLOT(name, bytes) __asm__("__imp__" #name "@" #bytes)
#endif
extern "C" decltype(&SetTimer) setTimerSlot IMPORT_SLOT(SetTimer, 16);
extern "C" decltype(&KillTimer) killTimerSlot IMPORT_SLOT(KillTimer, 8);
decltype(&SetTimer) realSetTimer;
decltype(&KillTimer) realKillTimer;
std::vector<std::pair<UINT_PTR, UINT>> timerCalls; // (timer, interval); a kill's is 0

UINT_PTR WINAPI RecordSetTimer(HWND w, UINT_PTR id, UINT ms, TIMERPROC proc) {
    timerCalls.emplace_back(id, ms);
    return realSetTimer(w, id, ms, proc);
}
BOOL WINAPI RecordKillTimer(HWND w, UINT_PTR id) {
    timerCalls.emplace_back(id, 0);
    return realKillTimer(w, id);
}

template <class Fn> void Swap(Fn& slot, Fn& with) {
    DWORD old;
    VirtualProtect(&slot, sizeof slot, PAGE_READWRITE, &old);
    std::swap(slot, with);
    VirtualProtect(&slot, sizeof slot, old, &old);
}

TEST_F(EngineForm, StartArmsTimer1ForAMinuteAndKeepsAwakeStopUndoesBothMouseTimer2For20s) {
    realSetTimer = &RecordSetTimer;
    realKillTimer = &RecordKillTimer;
    Swap(setTimerSlot, realSetTimer);
    Swap(killTimerSlot, realKillTimer);
    // Idling keeps the system awake (the call answers with the state before).
    Label9_Click(*form);
    constexpr EXECUTION_STATE kAwake = ES_SYSTEM_REQUIRED | ES_CONTINUOUS;
    EXPECT_EQ(SetThreadExecutionState(kAwake), kAwake);
    Image1_Click(*form);
    EXPECT_EQ(SetThreadExecutionState(ES_CONTINUOUS), ES_CONTINUOUS);
    mnu_mouse_Click(*form);
    mnu_mouse_Click(*form);
    Swap(setTimerSlot, realSetTimer);
    Swap(killTimerSlot, realKillTimer);
    EXPECT_EQ(timerCalls, (std::vector<std::pair<UINT_PTR, UINT>>{
                              {kTimer1, 60000}, {kTimer1, 0}, {kTimer2, 20000}, {kTimer2, 0}}));
}

// Windows' answer when the client runs with more rights than idler (UIPI),
// given at the call: sends refused with ERROR_ACCESS_DENIED; boxes recorded.
extern "C" decltype(&SendMessageTimeoutA) sendSlot IMPORT_SLOT(SendMessageTimeoutA, 28);
extern "C" decltype(&MessageBoxA) boxSlot IMPORT_SLOT(MessageBoxA, 16);
decltype(&SendMessageTimeoutA) realSend;
decltype(&MessageBoxA) realBox;
bool refusing = false;
std::vector<std::string> boxes;

LRESULT WINAPI RefusingSend(HWND w, UINT m, WPARAM wp, LPARAM lp, UINT f, UINT ms, PDWORD_PTR r) {
    if (!refusing) return realSend(w, m, wp, lp, f, ms, r);
    SetLastError(ERROR_ACCESS_DENIED);
    return 0;
}
int WINAPI RecordBox(HWND, LPCSTR text, LPCSTR, UINT) {
    boxes.emplace_back(text);
    return IDOK;
}

// A window of a busy thread, destroyed before that thread takes the message
// waiting for it: Wine fails such a send with ERROR_ACCESS_DENIED as well.
DWORD WINAPI DestroyWhileBusy(void* made) {
    HWND window =
        CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    static_cast<std::atomic<HWND>*>(made)->store(window);
    // Destroyed once the message is waiting in this thread's queue, unread.
    for (const DWORD begun = GetTickCount(); GetTickCount() - begun < 5000; Sleep(1)) {
        if (HIWORD(GetQueueStatus(QS_SENDMESSAGE)) & QS_SENDMESSAGE) break;
    }
    DestroyWindow(window);
    return 0;
}

TEST_F(EngineForm, AClientThatRefusesOurMessagesIsToldOnceAndServedAsSoonAsItTakesThem) {
    auto client = standin_harness::Start(L"");
    ASSERT_TRUE(client);
    realSend = &RefusingSend;
    realBox = &RecordBox;
    Swap(sendSlot, realSend);
    Swap(boxSlot, realBox);
    // A window gone while our message waited is no refusal: it tells nothing.
    std::atomic<HWND> made{};
    HANDLE busy = CreateThread(nullptr, 0, DestroyWhileBusy, &made, 0, nullptr);
    while (!made) Sleep(1);
    EXPECT_FALSE(client_windows::Deliver(made, WM_NULL, 0, 0));
    WaitForSingleObject(busy, INFINITE);
    CloseHandle(busy);
    EXPECT_EQ(boxes.size(), 0u) << "a window that went away was told as a refusal";
    refusing = true;
    for (int i = 0; i < 3; ++i) Timer1_Timer(*form);
    refusing = false;
    Timer1_Timer(*form);
    Swap(sendSlot, realSend);
    Swap(boxSlot, realBox);

    ASSERT_EQ(boxes.size(), 1u);
    // The advice is the client's ordinary start: an elevated idler has another data file.
    EXPECT_NE(boxes[0].find("without Run as administrator"), std::string::npos) << boxes[0];
    EXPECT_NE(boxes[0].find("another data file"), std::string::npos) << boxes[0];
    EXPECT_EQ(GetText(form->Text1), L"4");
    // The fourth tick's pair is the room's first: nothing of the refused ticks went.
    ASSERT_TRUE(client->WaitFor(standin_log::Named("chat"), std::chrono::seconds(5), 2));
    const auto lines = standin_log::ChatBytes(client->Events());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], ToAnsi(announce::StatusLine(L"4", GetText(form->Text4))));
}

TEST_F(EngineForm, SilentMenuSetsBoxAndMarkTogether) {
    mnu_silent_Click(*form);
    EXPECT_EQ(Check1_Value(*form), 1);
    EXPECT_TRUE(MenuChecked(*form, kMnuSilent));
    mnu_silent_Click(*form);
    EXPECT_EQ(Check1_Value(*form), 0);
    EXPECT_FALSE(MenuChecked(*form, kMnuSilent));

    // The space bar checked the box alone: the menu goes by its mark, so it
    // switches silent mode "on" again (the box stays checked).
    SetCheck1_Value(*form, 1);
    mnu_silent_Click(*form);
    EXPECT_EQ(Check1_Value(*form), 1);
    EXPECT_TRUE(MenuChecked(*form, kMnuSilent));
}

// CPU time of this process (all its threads, user and kernel), in seconds.
double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto value = [](const FILETIME& f) {
        return (static_cast<ULONGLONG>(f.dwHighDateTime) << 32 | f.dwLowDateTime) / 1e7;
    };
    return value(kernel) + value(user);
}

// Under QEMU's emulation each instruction costs several of the machine's:
// the bounds below are for a processor that runs the program itself.
double EmulationFactor() {
    char mode[64] = {}; // the whole value, or the call copies nothing
    GetEnvironmentVariableA("IDLER_I386_MODE", mode, sizeof mode);
    return std::string_view(mode).starts_with("emulated") ? 3.0 : 1.0;
}

// A tick costs well under 2 ms of CPU; the pause in it costs none. Totals
// over many ticks, since the process's CPU time advances in coarse steps.
TEST_F(EngineForm, TicksCostNextToNoCpu) {
    constexpr int kSilentTicks = 200, kPostingTicks = 6;
    SetCheck1_Value(*form, 1);
    double before = CpuSeconds();
    for (int i = 0; i < kSilentTicks; ++i) Timer1_Timer(*form);
    const double silent = (CpuSeconds() - before) / kSilentTicks;

    SetCheck1_Value(*form, 0);
    before = CpuSeconds();
    for (int i = 0; i < kPostingTicks; ++i) {
        Timer1_Timer(*form);
        Sleep(137); // land the next tick on another phase of the second
    }
    const double posting = (CpuSeconds() - before) / kPostingTicks;
    EXPECT_EQ(GetText(form->Text1), std::to_wstring(kSilentTicks + kPostingTicks));
    std::printf("CPU per tick: silent %.3f ms, posting (with its pause) %.3f ms; bounds x%.0f\n",
                silent * 1e3, posting * 1e3, EmulationFactor());
    EXPECT_LT(silent, 0.002 * EmulationFactor());
    EXPECT_LT(posting, 0.002 * EmulationFactor() + 0.016 / kPostingTicks);
}

TEST_F(EngineForm, LoadMakesTheWindowTopmost) {
    ASSERT_FALSE(GetWindowLongW(form->hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
    Form_Load(*form);
    EXPECT_TRUE(GetWindowLongW(form->hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
}

} // namespace
