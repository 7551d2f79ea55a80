// Pause(0) against a real window, its messages and a timer: in the first half
// of a second it returns at once, dispatching nothing; in the second half it
// dispatches what comes until the clock's next whole second, without using
// the CPU. Each test waits for the clock phase it needs; an attempt that a
// stall of the machine makes undecidable is tried again.
#include "system/fallbacks.h"
#include "engine/pause.h"
#include <cmath>
#include <gtest/gtest.h>

namespace {

constexpr UINT kPing = WM_APP + 1;
constexpr UINT_PTR kTestTimer = 7;
constexpr int kAttempts = 5;

// The time of day in seconds, as Pause reads it.
double Clock() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0;
}

// Waits until the fraction of the current second lies in [from, to), away
// from the last second of the day (whose next whole second reads as 0).
void WaitForPhase(double from, double to) {
    const DWORD begun = GetTickCount();
    for (;;) {
        const double now = Clock();
        const double fraction = now - std::floor(now);
        if (fraction >= from && fraction < to && now < 86399.0) return;
        ASSERT_LT(GetTickCount() - begun, 5000u) << "the clock never reached the phase";
        Sleep(1);
    }
}

// What the window received, and when.
struct Received {
    int pings = 0;
    int ticks = 0;
    double firstPing = 0;
    double firstTick = 0;
};

LRESULT CALLBACK ProbeProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* received = reinterpret_cast<Received*>(GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (received && msg == kPing) {
        if (received->pings++ == 0) received->firstPing = Clock();
        return 0;
    }
    if (received && msg == WM_TIMER && wp == kTestTimer) {
        if (received->ticks++ == 0) received->firstTick = Clock();
        return 0;
    }
    return DefWindowProcW(hwnd, msg, wp, lp);
}

// A real top-level window (never shown) whose messages land in a Received.
class ProbeWindow {
  public:
    explicit ProbeWindow(Received& received) {
        WNDCLASSW wc{};
        wc.lpfnWndProc = ProbeProc;
        wc.hInstance = GetModuleHandleW(nullptr);
        wc.lpszClassName = L"EnginePauseProbe";
        RegisterClassW(&wc);
        hwnd_ = CreateWindowExW(0, wc.lpszClassName, L"", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                wc.hInstance, nullptr);
        SetWindowLongPtrW(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&received));
    }
    ~ProbeWindow() { DestroyWindow(hwnd_); }
    ProbeWindow(const ProbeWindow&) = delete;
    ProbeWindow& operator=(const ProbeWindow&) = delete;
    HWND hwnd() const { return hwnd_; }

  private:
    HWND hwnd_{};
};

// Drops whatever an attempt left queued (a due timer, a ping not taken).
void Drain(HWND hwnd) {
    KillTimer(hwnd, kTestTimer);
    MSG msg;
    while (PeekMessageW(&msg, hwnd, 0, 0, PM_REMOVE)) {
    }
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

TEST(EnginePause, FirstHalfOfASecondReturnsAtOnceAndDispatchesNothing) {
    Received received;
    ProbeWindow probe(received);
    ASSERT_TRUE(probe.hwnd());
    bool decided = false;
    for (int attempt = 0; attempt < kAttempts && !decided; ++attempt) {
        received = {};
        WaitForPhase(0.05, 0.30);
        PostMessageW(probe.hwnd(), kPing, 0, 0);
        const double before = Clock();
        AolKit::Pause(0);
        const double after = Clock();
        // A wait that should not be: undecidable only if the machine stalled.
        if (after - before < 0.1) {
            decided = true;
            EXPECT_EQ(received.pings, 0) << "Pause dispatched in the first half of a second";
        }
        Drain(probe.hwnd());
    }
    EXPECT_TRUE(decided) << "Pause(0) in the first half of a second never returned at once";
}

TEST(EnginePause, SecondHalfDispatchesUntilTheNextWholeSecond) {
    Received received;
    ProbeWindow probe(received);
    ASSERT_TRUE(probe.hwnd());
    bool decided = false;
    double lastLateness = 0;
    for (int attempt = 0; attempt < kAttempts && !decided; ++attempt) {
        received = {};
        WaitForPhase(0.60, 0.75);
        // A message already queued, and a timer that comes due during the wait.
        PostMessageW(probe.hwnd(), kPing, 0, 0);
        SetTimer(probe.hwnd(), kTestTimer, 50, nullptr);
        const double before = Clock();
        const double wholeSecond = std::floor(before) + 1;
        AolKit::Pause(0);
        const double after = Clock();
        Drain(probe.hwnd());

        ASSERT_GE(after, wholeSecond) << "Pause returned before the next whole second";
        lastLateness = after - wholeSecond;
        if (lastLateness > 0.1) continue; // late: maybe a stall; try again
        decided = true;
        EXPECT_EQ(received.pings, 1);
        EXPECT_LT(received.firstPing, wholeSecond);
        EXPECT_GE(received.ticks, 1) << "a timer due during the wait was not dispatched";
        EXPECT_LT(received.firstTick, wholeSecond);
    }
    EXPECT_TRUE(decided) << "Pause(0) kept returning late, last by " << lastLateness << " s";
}

// A full half second of waiting costs next to no CPU: Pause blocks for events
// instead of polling the clock. Also with a WM_QUIT queued, which wakes every
// wait for messages at once; the quit stays queued for the loop it belongs to.
class EnginePauseCpu : public testing::TestWithParam<bool> {};

TEST_P(EnginePauseCpu, HalfSecondWaitUsesNoCpu) {
    const bool quitQueued = GetParam();
    // The measure itself must see CPU time under Wine: spinning shows as such.
    const double spinStart = CpuSeconds();
    for (const DWORD begun = GetTickCount(); CpuSeconds() - spinStart < 0.1;)
        ASSERT_LT(GetTickCount() - begun, 10000u) << "GetProcessTimes does not count CPU time";

    bool decided = false;
    for (int attempt = 0; attempt < kAttempts && !decided; ++attempt) {
        WaitForPhase(0.51, 0.55);
        if (quitQueued) PostQuitMessage(3);
        const double cpuBefore = CpuSeconds();
        const double before = Clock();
        AolKit::Pause(0);
        const double waited = Clock() - before;
        const double cpu = CpuSeconds() - cpuBefore;
        MSG msg{};
        const bool quitKept = PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) != 0;
        if (waited < 0.4) continue; // the pause began late: not a full half second
        decided = true;
        EXPECT_LT(waited, 0.6);
        EXPECT_LT(cpu, 0.05) << "CPU time of a " << waited << " s pause";
        if (quitQueued) {
            EXPECT_TRUE(quitKept);
            EXPECT_EQ(msg.wParam, 3u);
        }
    }
    EXPECT_TRUE(decided) << "never caught a full half-second pause";
}

INSTANTIATE_TEST_SUITE_P(QuitQueuedOrNot, EnginePauseCpu, testing::Bool());

// The fallbacks of systems without GetAncestor or MsgWaitForMultipleObjectsEx,
// called directly: Wine has both, so the program itself never takes them here.
TEST(EngineFallbacks, TheParentWalkFindsTheRootGetAncestorFinds) {
    HWND top = CreateWindowExA(0, "STATIC", "top", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                               nullptr, nullptr, nullptr);
    HWND child =
        CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 10, 10, top, nullptr, nullptr, nullptr);
    HWND grandchild =
        CreateWindowExA(0, "STATIC", "", WS_CHILD, 0, 0, 5, 5, child, nullptr, nullptr, nullptr);
    HWND owned = CreateWindowExA(0, "STATIC", "owned", WS_POPUP, 0, 0, 10, 10, top, nullptr,
                                 nullptr, nullptr);
    ASSERT_TRUE(top && child && grandchild && owned);
    for (HWND window : {top, child, grandchild, owned}) {
        EXPECT_EQ(RootWindowByParents(window), GetAncestor(window, GA_ROOT));
        EXPECT_EQ(RootWindow(window), GetAncestor(window, GA_ROOT));
    }
    EXPECT_EQ(RootWindowByParents(grandchild), top);
    EXPECT_EQ(RootWindowByParents(owned), owned); // owned, not a child: its own root
    DestroyWindow(owned);
    DestroyWindow(top);
}

TEST(EngineFallbacks, TheWaitWithoutExWakesForATimerAndOtherwiseTimesOut) {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
    }
    DWORD begun = GetTickCount();
    WaitForNewInput(200);
    EXPECT_GE(GetTickCount() - begun, 150u);
    const UINT_PTR timer = SetTimer(nullptr, 0, 50, nullptr);
    begun = GetTickCount();
    WaitForNewInput(5000);
    EXPECT_LT(GetTickCount() - begun, 2000u) << "the timer's message did not wake the wait";
    KillTimer(nullptr, timer);
}

} // namespace
