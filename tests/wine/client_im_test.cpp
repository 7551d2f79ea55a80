// Keyword, InstantMessage and UserScreenName against the stand-in client.
#include "client/aolkit_client.h"
#include "tests/wine/client_test_windows.h"
#include "tests/wine/standin_harness.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>

using standin_log::Named;
using namespace std::chrono_literals;

namespace {

constexpr const char* kKeywordBox = "America Online/Edit#1";
const auto kImOpened = Named("opened", "caption", "Send Instant Message");

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / frequency.QuadPart;
}

// This process's CPU time (user and kernel), in seconds.
double CpuSeconds() {
    FILETIME created, exited, kernel, user;
    GetProcessTimes(GetCurrentProcess(), &created, &exited, &kernel, &user);
    auto seconds = [](FILETIME t) {
        return (double(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

// Where each named event first appears in the log; -1 when it does not.
long IndexOf(const std::vector<standin_log::Event>& events, const standin_log::Match& match) {
    for (size_t i = 0; i < events.size(); ++i) {
        if (match(events[i])) return static_cast<long>(i);
    }
    return -1;
}

// A window of this process whose timer counts its ticks: they run only when
// the program's events are dispatched. Its WM_ACTIVATEAPP handler leaves an
// error code behind, as any handler run during a send may.
struct Ticker {
    HWND hwnd{};
    int ticks = 0;

    Ticker();
    Ticker(const Ticker&) = delete;
    Ticker& operator=(const Ticker&) = delete;
    ~Ticker() { DestroyWindow(hwnd); }
};

LRESULT CALLBACK TickerProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* ticker = reinterpret_cast<Ticker*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    if (message == WM_TIMER && ticker) ++ticker->ticks;
    if (message == WM_ACTIVATEAPP) SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return DefWindowProcA(w, message, wParam, lParam);
}

Ticker::Ticker() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = TickerProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "IdlerTestTicker";
    RegisterClassA(&wc);
    hwnd = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                           wc.hInstance, nullptr);
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetTimer(hwnd, 1, 100, nullptr);
}

} // namespace

TEST(ClientKeyword, TypesTheKeywordThenSpaceThenEnterIntoTheToolbarBox) {
    auto client = standin_harness::Start(L"");
    ASSERT_TRUE(client);
    AolKit::Keyword(L"aol://9293:$IM_OFF");
    ASSERT_TRUE(client->WaitFor(Named("keyword", "text", "aol://9293:$IM_OFF"), 5s));
    std::vector<std::string> seen;
    for (const auto& e : client->Events()) {
        if (e.Get("target") != kKeywordBox) continue;
        seen.push_back(e.Name() + " " + (e.Name() == "char" ? e.Get("code") : e.Get("text")));
    }
    EXPECT_EQ(seen, (std::vector<std::string>{"settext aol://9293:$IM_OFF", "char 32", "char 13"}));
}

TEST(ClientKeyword, WithoutTheClientNothingIsTypedAnywhere) {
    ASSERT_EQ(FindWindowA("AOL Frame25", nullptr), nullptr);
    auto edit = client_test::MakeWindow("Edit", "stray box");
    AolKit::Keyword(L"aol://9293:$IM_OFF");
    EXPECT_TRUE(edit->messages.empty());
}

TEST(ClientInstantMessage, SwitchIsSentTheBoxAnsweredAndTheWindowClosed) {
    auto client = standin_harness::Start(L"");
    ASSERT_TRUE(client);
    EXPECT_TRUE(AolKit::InstantMessage(L"$IM_OFF", L"Zorvik ownz!"));
    // Gone on return: a switch waiting around this one must not take it.
    EXPECT_TRUE(client->WaitFor(Named("closed", "caption", "Send Instant Message"), 0ms));
    ASSERT_TRUE(client->WaitFor(Named("box_answered"), 5s));
    const auto events = client->Events();
    const long keyword = IndexOf(events, Named("keyword", "text", "aol://9293:$IM_OFF"));
    const long im = IndexOf(events, Named("im", "to", "$IM_OFF"));
    const long box = IndexOf(events, Named("opened", "class", "#32770"));
    const long answered = IndexOf(events, Named("box_answered"));
    const long closed = IndexOf(events, Named("closed", "caption", "Send Instant Message"));
    EXPECT_TRUE(keyword >= 0 && keyword < im && im < box && box < answered && answered < closed)
        << keyword << " " << im << " " << box << " " << answered << " " << closed;
    EXPECT_EQ(events[im].Get("text"), "Zorvik ownz!");
    EXPECT_EQ(standin_log::Count(events, Named("ims", "on", "false")), 1u);
    EXPECT_EQ(FindWindowA("#32770", "America Online"), nullptr);
}

TEST(ClientInstantMessage, ABoxAlreadyOpenIsNotTakenForTheAnswer) {
    // An earlier answer still open; this message's answer comes 1 s after Send.
    auto client = standin_harness::Start(L"--box-open --box-delay=1");
    ASSERT_TRUE(client);
    const auto earlier = client->WaitFor(Named("opened", "class", "#32770"), 0ms);
    ASSERT_TRUE(earlier);
    EXPECT_TRUE(AolKit::InstantMessage(L"$IM_OFF", L"Zorvik ownz!"));
    const auto answer = client->WaitFor(Named("opened", "class", "#32770"), 5s, 2);
    const auto answered = client->WaitFor(Named("box_answered"), 5s);
    ASSERT_TRUE(answer && answered);
    EXPECT_EQ(answered->Get("hwnd"), answer->Get("hwnd"));
    EXPECT_TRUE(client->WaitFor(Named("closed", "caption", "Send Instant Message"), 5s));
    EXPECT_TRUE(IsWindow(standin_harness::WindowOf(*earlier)));
    EXPECT_EQ(standin_log::Count(client->Events(), Named("box_answered")), 1u);
}

TEST(ClientInstantMessage, ABoxStillGettingItsButtonIsAnsweredOnceItHasIt) {
    auto client = standin_harness::Start(L"--box-button-after=0.4");
    ASSERT_TRUE(client);
    EXPECT_TRUE(AolKit::InstantMessage(L"$IM_OFF", L"Zorvik ownz!"));
    EXPECT_TRUE(client->WaitFor(Named("box_answered"), 5s));
    EXPECT_TRUE(client->WaitFor(Named("closed", "caption", "Send Instant Message"), 5s));
}

TEST(ClientInstantMessage, ABoxThatNeverGetsAButtonStillClosesTheImWindow) {
    auto client = standin_harness::Start(L"--box-button-after=30");
    ASSERT_TRUE(client);
    const double start = Seconds();
    EXPECT_TRUE(AolKit::InstantMessage(L"$IM_OFF", L"Zorvik ownz!"));
    EXPECT_LT(Seconds() - start, 5.0);
    EXPECT_TRUE(client->WaitFor(Named("closed", "caption", "Send Instant Message"), 5s));
    EXPECT_EQ(standin_log::Count(client->Events(), Named("box_answered")), 0u);
}

TEST(ClientInstantMessage, WithoutABoxTheWaitEndsWhenTheWindowGoes) {
    auto client = standin_harness::Start(L"");
    ASSERT_TRUE(client);
    const double start = Seconds();
    EXPECT_TRUE(AolKit::InstantMessage(L"Some Buddy", L"caf\u00E9 \u2022"));
    EXPECT_LT(Seconds() - start, 5.0);
    const auto im = client->WaitFor(Named("im"), 5s);
    ASSERT_TRUE(im);
    EXPECT_EQ(im->Get("to"), "Some Buddy");
    EXPECT_EQ(im->Get("hex"), "636166e92095");
    EXPECT_EQ(standin_log::Count(client->Events(), Named("opened", "class", "#32770")), 0u);
}

// A client acting on the press closes the IM window before the release; a
// handler of this program run during the send leaves ERROR_INVALID_WINDOW_HANDLE
// behind. Either way the message went once, and that is what is reported.
TEST(ClientInstantMessage, SentOnceWhenTheWindowClosesOnThePressOrAHandlerLeavesAnError) {
    Ticker nested;
    for (const std::wstring& options :
         {std::wstring(L"--send-on-down --no-box"),
          L"--notify=" + std::to_wstring(reinterpret_cast<UINT_PTR>(nested.hwnd))}) {
        SCOPED_TRACE(std::string(options.begin(), options.end()));
        auto client = standin_harness::Start(options);
        ASSERT_TRUE(client);
        const double start = Seconds();
        EXPECT_TRUE(AolKit::InstantMessage(L"$IM_OFF", L"Zorvik ownz!"));
        EXPECT_LT(Seconds() - start, 5.0);
        ASSERT_TRUE(client->WaitFor(Named("closed", "caption", "Send Instant Message"), 5s));
        EXPECT_EQ(standin_log::Count(client->Events(), Named("im")), 1u);
    }
}

// The client neither answers nor closes the window (its box would come only
// after 30 s): not reported as taken, once the second wait's 20 s are over.
TEST(ClientInstantMessage, NoAnswerAndTheWindowStillOpenIsNotReportedAsSent) {
    auto client = standin_harness::Start(L"--box-delay=30");
    ASSERT_TRUE(client);
    const double start = Seconds();
    EXPECT_FALSE(AolKit::InstantMessage(L"$IM_OFF", L"Zorvik ownz!"));
    const double waited = Seconds() - start;
    EXPECT_GE(waited, 19.9);
    EXPECT_LT(waited, 23.0);
    EXPECT_EQ(standin_log::Count(client->Events(), Named("im")), 1u);
}

TEST(ClientInstantMessage, AnImWindowAlreadyOpenIsTakenAndItsDraftReplaced) {
    // The keyword's own window would come only after 30 s.
    auto client = standin_harness::Start(L"--im-open=Pal --im-delay=30");
    ASSERT_TRUE(client);
    HWND open = FindWindowExA(FindWindowExA(client->frame, nullptr, "MDIClient", nullptr), nullptr,
                              "AOL Child", "Send Instant Message");
    HWND draft = FindWindowExA(open, nullptr, "RICHCNTL", nullptr);
    ASSERT_TRUE(draft);
    for (char c : std::string("unsent draft")) SendMessageA(draft, WM_CHAR, c, 0);
    const double start = Seconds();
    EXPECT_TRUE(AolKit::InstantMessage(L"$IM_OFF", L"Zorvik ownz!"));
    EXPECT_LT(Seconds() - start, 5.0);
    const auto im = client->WaitFor(Named("im"), 5s);
    ASSERT_TRUE(im);
    EXPECT_EQ(im->Get("to"), "Pal");
    EXPECT_EQ(im->Get("text"), "Zorvik ownz!");
}

TEST(ClientInstantMessage, EightIconsKeepTheFirstWaitGoingToItsBound) {
    auto client = standin_harness::Start(L"--im-icons=8");
    ASSERT_TRUE(client);
    const double start = Seconds();
    EXPECT_FALSE(AolKit::InstantMessage(L"$IM_OFF", L"Zorvik ownz!"));
    const double waited = Seconds() - start;
    EXPECT_GE(waited, 9.9);
    EXPECT_LT(waited, 12.0);
    // The window came but had no Send button: nothing typed, nothing sent.
    const auto events = client->Events();
    EXPECT_EQ(standin_log::Count(events, kImOpened), 1u);
    EXPECT_EQ(
        standin_log::Count(events, Named("settext", "target", "Send Instant Message/RICHCNTL#1")),
        0u);
    EXPECT_EQ(standin_log::Count(events, Named("click")), 0u);
    EXPECT_EQ(standin_log::Count(events, Named("im")), 0u);
}

TEST(ClientInstantMessage, WithoutTheClientTheWaitIsBoundedDispatchesAndSpendsNoCpu) {
    ASSERT_EQ(FindWindowA("AOL Frame25", nullptr), nullptr);
    Ticker ticker;

    // Baseline: the same process, blocked for 2 s with nothing to do.
    double cpu = CpuSeconds(), start = Seconds();
    Sleep(2000);
    const double idleCpuPerSecond = (CpuSeconds() - cpu) / (Seconds() - start);

    cpu = CpuSeconds();
    start = Seconds();
    EXPECT_FALSE(AolKit::InstantMessage(L"$IM_OFF", L"Zorvik ownz!"));
    const double waited = Seconds() - start;
    const double waitCpuPerSecond = (CpuSeconds() - cpu) / waited;
    EXPECT_GE(waited, 9.9);
    EXPECT_LT(waited, 12.0);
    // The timer ticked throughout (every 100 ms): events were dispatched.
    EXPECT_GE(ticker.ticks, 50);
    // Polling without a pause would keep a core busy (about 1 s per second).
    EXPECT_LT(waitCpuPerSecond, 0.1);
    std::printf("first wait to its bound: %.2f s, CPU %.1f ms/s (idle baseline %.1f ms/s), "
                "%d timer ticks dispatched\n",
                waited, waitCpuPerSecond * 1000, std::max(0.0, idleCpuPerSecond) * 1000,
                ticker.ticks);
}

TEST(ClientInstantMessage, AQuittingProgramStopsWaitingAndKeepsItsQuit) {
    ASSERT_EQ(FindWindowA("AOL Frame25", nullptr), nullptr);
    PostQuitMessage(7);
    const double start = Seconds();
    EXPECT_FALSE(AolKit::InstantMessage(L"$IM_OFF", L"Zorvik ownz!"));
    EXPECT_LT(Seconds() - start, 1.0);
    MSG msg;
    ASSERT_TRUE(PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 7u);
}

TEST(ClientUserScreenName, FromTheFirstWelcomeCaption) {
    EXPECT_EQ(AolKit::UserScreenName(), L"") << "no client";
    {
        auto client = standin_harness::Start(L"\"--name=Bj\u00F8rn Q\"");
        ASSERT_TRUE(client);
        EXPECT_EQ(AolKit::UserScreenName(), L"Bj\u00F8rn Q");
    }
    {
        // Created back to front: the two matching windows stand behind three
        // that do not count; of the two, the front one wins, cut at its "!".
        auto client = standin_harness::Start(
            L"--rooms=0 \"--welcome=Welcome, Behind!\" \"--welcome=Welcome, Front! Mail waits!\" "
            L"\"--welcome=welcome, lower!\" \"--welcome=Hi - Welcome, inside!\" "
            L"\"--welcome=WELCOME, UPPER!\"");
        ASSERT_TRUE(client);
        EXPECT_EQ(AolKit::UserScreenName(), L"Front");
    }
}

TEST(ClientUserScreenName, EmptyNameAndMissingExclamationMark) {
    {
        auto client = standin_harness::Start(L"\"--welcome=Welcome, !\"");
        ASSERT_TRUE(client);
        EXPECT_EQ(AolKit::UserScreenName(), L"");
    }
    {
        auto client = standin_harness::Start(L"\"--welcome=Welcome, No Bang\"");
        ASSERT_TRUE(client);
        EXPECT_EQ(AolKit::UserScreenName(), L"No Bang");
    }
}
