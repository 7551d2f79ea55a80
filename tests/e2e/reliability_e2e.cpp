// Faults idler must live through, end to end: a client that quits, restarts,
// opens, closes and reorders its rooms between ticks; a client that stops
// answering; hand-edited data files of every bad kind; and idler itself
// killed in the middle of saving. The stand-in client's logs and the data
// file's bytes are the evidence.
#include "tests/e2e/driver.h"
#include "tests/wine/standin_harness.h"
#include "window/form1.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <memory>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

using namespace driver;
using standin_log::Event;
using standin_log::Named;
using namespace std::chrono_literals;
using namespace std::string_literals;

namespace {

// The stand-in opens "Lobby N" in front when this comes with wParam N.
constexpr UINT kOpenRoom = WM_APP + 2;

// ---- the chat lines, as the room receives them (Windows-1252) ---------------

const std::string kFrame = "<font color=\"#000080\"><font face=\"arial narrow\"";
const std::string kTag = "></b>\x95[\x9B"
                         "vex\x8B] \xB7 ";

std::string Cp1252(const std::wstring& text) {
    if (text.empty()) return {};
    std::string out(text.size() * 2, '\0');
    const int n = WideCharToMultiByte(1252, 0, text.c_str(), static_cast<int>(text.size()),
                                      out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(static_cast<size_t>(std::max(n, 0)));
    return out;
}

std::string Status(const std::wstring& count, const std::wstring& reason) {
    return kFrame + kTag + Cp1252(count) + " \xB7 " + Cp1252(reason);
}

std::string Link(const std::wstring& address, const std::wstring& text) {
    return kFrame + kTag + "</a>< a href=\"" + Cp1252(address) + "\"></u><font color=\"#0000ff\">" +
           Cp1252(text) + "</a>";
}

// ---- clocks ----------------------------------------------------------------

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The time of day as idler's Pause reads it, in seconds.
double ClockNow() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0;
}

// A tick pauses between its two sends until the clock's next whole second at
// the latest, so one that sends to no room cannot be seen to end; it has
// ended once the clock is past that second. Polls the clock until then.
bool TickPauseOver(double counterSeenAtClock) {
    const double wait = std::floor(counterSeenAtClock) + 1.2 - counterSeenAtClock;
    const double until = Seconds() + wait;
    return WaitFor([&] { return Seconds() >= until; }, 3000);
}

// ---- the data file, from beside the program ---------------------------------

void RemoveDataFile() {
    SetFileAttributesW(kDataFile, FILE_ATTRIBUTE_NORMAL);
    DeleteFileW(kDataFile);
}

void RemoveTempFiles() {
    for (const std::wstring& name : FilesBeside(L"vex*.tmp"))
        DeleteFileW((L"c:\\windows\\" + name).c_str());
}

// ---- idler's window ----------------------------------------------------------

void Command(HWND form, UINT id) {
    PostMessageW(form, WM_COMMAND, id, 0);
}

bool CounterReads(HWND form, const std::wstring& count, DWORD timeoutMs = 10000) {
    return WaitFor([&] { return ReadText(Text1(form)) == count; }, timeoutMs);
}

// The room's lines of one stand-in, with the room each went to.
struct Said {
    std::string room; // its caption
    HWND hwnd;
    std::string bytes;
    bool operator==(const Said&) const = default;
};

void PrintTo(const Said& s, std::ostream* out) {
    *out << "{" << s.room << " " << s.hwnd << ": " << testing::PrintToString(s.bytes) << "}";
}

std::vector<Said> SaidIn(const standin_harness::Standin& client) {
    std::vector<Said> said;
    for (const Event& e : client.Events()) {
        if (e.Name() == "chat")
            said.push_back(
                {e.Get("room"), standin_harness::WindowOf(e), standin_log::FromHex(e.Get("hex"))});
    }
    return said;
}

// idler started beside the client: its window, once its opening pair is
// said; null when either did not come.
HWND StartBeside(const standin_harness::Standin& client, Process& idler) {
    idler = Start(L"idler.exe");
    const HWND form = FindIdler(idler.pid());
    return form && client.WaitFor(Named("chat"), 10s, 2) ? form : nullptr;
}

size_t LinesIn(const standin_harness::Standin& client) {
    return standin_log::Count(client.Events(), Named("chat"));
}

// ==== 1. The client comes and goes between ticks ==============================

// The window a stand-in logged as opened under a caption.
HWND Opened(const standin_harness::Standin& client, const std::string& caption) {
    const auto e = client.WaitFor(Named("opened", "caption", caption), 10s);
    return e ? standin_harness::WindowOf(*e) : nullptr;
}

HWND MdiArea(const standin_harness::Standin& client) {
    return FindWindowExW(client.frame, nullptr, L"MDIClient", nullptr);
}

// The front-most document window of the client: the MDI area's top child.
HWND FrontDocument(const standin_harness::Standin& client) {
    return GetWindow(MdiArea(client), GW_CHILD);
}

class ReliabilityClient : public ::testing::Test {
  protected:
    const std::wstring kReason = L"out \u2022 back soon", kAddress = L"http://example.com/",
                       kText = L"home";

    void StartIdler() {
        idler = Start(L"idler.exe");
        ASSERT_NE(idler.handle(), nullptr);
        form = FindIdler(idler.pid());
        ASSERT_NE(form, nullptr);
    }

    // Tick n, whose pair must reach this room of this stand-in; the tick has
    // ended when the link line is there.
    void TickInto(int n, const standin_harness::Standin& client, HWND room,
                  const std::string& caption, std::vector<Said>& expected) {
        const size_t before = LinesIn(client);
        Tick(form, kTimer1);
        ASSERT_TRUE(CounterReads(form, std::to_wstring(n))) << "tick " << n << " did not count";
        ASSERT_TRUE(client.WaitFor(Named("chat"), 10s, before + 2)) << "tick " << n;
        expected.push_back({caption, room, Status(std::to_wstring(n), kReason)});
        expected.push_back({caption, room, Link(kAddress, kText)});
    }

    // Tick n with no chat room open anywhere: it counts, and says nothing.
    void TickIntoNothing(int n) {
        Tick(form, kTimer1);
        ASSERT_TRUE(CounterReads(form, std::to_wstring(n))) << "tick " << n << " did not count";
        ASSERT_TRUE(TickPauseOver(ClockNow()));
    }

    Process idler;
    HWND form = nullptr;
};

TEST_F(ReliabilityClient, EveryTickGoesToTheRoomInFrontAtThatMomentAndNoHandleIsKept) {
    // Stand-in A: Lobby 1 behind Lobby 2.
    auto a = standin_harness::Start(L"--rooms=2");
    ASSERT_TRUE(a);
    HWND aLobby1 = Opened(*a, "Lobby 1"), aLobby2 = Opened(*a, "Lobby 2");
    ASSERT_TRUE(aLobby1 && aLobby2);
    ASSERT_NO_FATAL_FAILURE(StartIdler());
    ASSERT_TRUE(a->WaitFor(Named("chat"), 10s, 2)) << "idler's opening pair did not arrive";
    std::vector<Said> inA = SaidIn(*a), inB;
    ASSERT_EQ(inA.size(), 2u);
    for (const Said& s : inA) EXPECT_EQ(s.hwnd, aLobby2) << "the opening pair went behind";
    TypeText(Text4(form), kReason);
    TypeText(Text3(form), kAddress);
    TypeText(Text2(form), kText);

    ASSERT_EQ(FrontDocument(*a), aLobby2);
    ASSERT_NO_FATAL_FAILURE(TickInto(1, *a, aLobby2, "Lobby 2", inA));

    // The two rooms change places, as a click on the one behind does.
    SendMessageW(MdiArea(*a), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(aLobby1), 0);
    ASSERT_EQ(FrontDocument(*a), aLobby1) << "Lobby 1 did not come to the front";
    ASSERT_NO_FATAL_FAILURE(TickInto(2, *a, aLobby1, "Lobby 1", inA));

    // The front room closes: the one left gets the next pair.
    SendMessageW(MdiArea(*a), WM_MDIDESTROY, reinterpret_cast<WPARAM>(aLobby1), 0);
    ASSERT_TRUE(a->WaitFor(Named("closed", "caption", "Lobby 1"), 5s));
    ASSERT_NO_FATAL_FAILURE(TickInto(3, *a, aLobby2, "Lobby 2", inA));

    // No room at all (the Welcome window is no room): the tick still counts.
    SendMessageW(MdiArea(*a), WM_MDIDESTROY, reinterpret_cast<WPARAM>(aLobby2), 0);
    ASSERT_TRUE(a->WaitFor(Named("closed", "caption", "Lobby 2"), 5s));
    ASSERT_NO_FATAL_FAILURE(TickIntoNothing(4));

    // A room opens again.
    PostMessageW(a->frame, kOpenRoom, 3, 0);
    HWND aLobby3 = Opened(*a, "Lobby 3");
    ASSERT_TRUE(aLobby3);
    ASSERT_NO_FATAL_FAILURE(TickInto(5, *a, aLobby3, "Lobby 3", inA));

    // The client quits: nothing to find, the tick still counts.
    PostMessageW(a->frame, WM_CLOSE, 0, 0);
    ASSERT_TRUE(a->Exited(10000)) << "stand-in A did not quit";
    ASSERT_NO_FATAL_FAILURE(TickIntoNothing(6));

    // It starts again: a new process with new windows, found afresh.
    auto b = standin_harness::Start(L"--rooms=2");
    ASSERT_TRUE(b);
    HWND bLobby1 = Opened(*b, "Lobby 1"), bLobby2 = Opened(*b, "Lobby 2");
    ASSERT_TRUE(bLobby1 && bLobby2);
    ASSERT_NO_FATAL_FAILURE(TickInto(7, *b, bLobby2, "Lobby 2", inB));
    SendMessageW(MdiArea(*b), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(bLobby1), 0);
    ASSERT_EQ(FrontDocument(*b), bLobby1);
    ASSERT_NO_FATAL_FAILURE(TickInto(8, *b, bLobby1, "Lobby 1", inB));

    EXPECT_EQ(SaidIn(*a), inA);
    EXPECT_EQ(SaidIn(*b), inB);
    EXPECT_EQ(ReadText(Text1(form)), L"8");
    EXPECT_TRUE(idler.Running());
}

// ==== 2. A client that stops answering ========================================

TEST(ReliabilityHungClient, IdlerWaitsOutTheHangThenEveryTickCountsAndEveryLineArrives) {
    // The hang starts well after idler's opening pair and lasts long enough
    // to post ticks into it and watch idler meanwhile.
    constexpr double kHangAt = 6, kHangFor = 4;
    const std::wstring kReason = L"hung", kAddress = L"http://example.com/h", kText = L"h";
    auto client = standin_harness::Start(L"--hang-at=6 --hang-for=4");
    ASSERT_TRUE(client);
    Process idler;
    const HWND form = StartBeside(*client, idler);
    ASSERT_NE(form, nullptr) << "no window, or no opening pair";
    TypeText(Text4(form), kReason);
    TypeText(Text3(form), kAddress);
    TypeText(Text2(form), kText);
    const auto hang = client->WaitFor(Named("hang"), 15s);
    ASSERT_TRUE(hang);
    ASSERT_LT(client->WaitFor(Named("chat"), 0ms, 2)->Time(), hang->Time())
        << "idler started too late: its opening pair fell into the hang";

    // Tick 1 counts, then its first send waits for the client.
    const double posted = Seconds();
    Tick(form, kTimer1);
    ASSERT_TRUE(CounterReads(form, L"1", 3000));
    // Two more ticks brought forward while idler waits: queued, not run.
    Tick(form, kTimer1);
    Tick(form, kTimer1);

    // While the client hangs (up to a second before it answers again), look
    // at idler: what it was sent it answers (WM_GETTEXT to its counter, a
    // WM_NULL to its window), since a thread waiting in SendMessage takes the
    // messages sent to it; what was posted to it (ticks, input) waits.
    double slowestSentMs = 0;
    int looks = 0;
    bool stayedAtOne = true;
    const double lookUntil = posted + (kHangFor - 1.0);
    while (Seconds() < lookUntil && !client->WaitFor(Named("recover"), 0ms)) {
        const double t0 = Seconds();
        DWORD_PTR answer = 0;
        const bool answered = SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 2000, &answer);
        const std::wstring count = ReadText(Text1(form));
        slowestSentMs = std::max(slowestSentMs, (Seconds() - t0) * 1000);
        EXPECT_TRUE(answered) << "idler's window did not answer a sent message";
        if (count != L"1") stayedAtOne = false;
        ++looks;
        Sleep(100);
    }
    const bool hungByThePlatform = IsHungAppWindow(form);
    ASSERT_FALSE(client->WaitFor(Named("recover"), 0ms)) << "the hang ended before the looks";
    EXPECT_GE(looks, 5);
    EXPECT_TRUE(stayedAtOne) << "a tick posted during the hang ran before the client answered";

    // The client answers: all three ticks' lines arrive, none lost.
    ASSERT_TRUE(client->WaitFor(Named("chat"), 15s, 8)) << "the lines after the hang are missing";
    const double allThere = Seconds();
    ASSERT_TRUE(CounterReads(form, L"3"));
    const auto recover = client->WaitFor(Named("recover"), 0ms);
    ASSERT_TRUE(recover);
    const auto first = client->WaitFor(Named("chat"), 0ms, 3);
    const auto last = client->WaitFor(Named("chat"), 0ms, 8);
    EXPECT_GE(first->Time(), recover->Time()) << "a line arrived while the client hung";

    std::vector<std::string> after = standin_log::ChatBytes(client->Events());
    after.erase(after.begin(), after.begin() + 2);
    // A tick run inside another's pause puts its pair between the other's
    // two lines: the status lines come in count order, each link line once
    // per tick.
    std::vector<std::string> statuses, links;
    for (const std::string& line : after)
        (line == Link(kAddress, kText) ? links : statuses).push_back(line);
    EXPECT_EQ(statuses, (std::vector<std::string>{Status(L"1", kReason), Status(L"2", kReason),
                                                  Status(L"3", kReason)}));
    EXPECT_EQ(links.size(), 3u);
    EXPECT_EQ(after.size(), 6u);
    EXPECT_TRUE(idler.Running());

    const double blocked = first->Time() - hang->Time();
    std::printf("hung client (%.0f s, from %.0f s): tick 1 counted at once; its first send blocked "
                "%.2f s (until the client answered); during the hang idler answered %d sent "
                "messages, slowest %.0f ms, and ran no posted tick; IsHungAppWindow said %s; "
                "after the hang the 6 lines of 3 ticks arrived within %.0f ms of recovery "
                "(test saw all %.2f s after posting tick 1), counter 3\n",
                kHangFor, kHangAt, blocked, looks, slowestSentMs,
                hungByThePlatform ? "hung" : "not hung", (last->Time() - recover->Time()) * 1000,
                allThere - posted);
    std::fflush(stdout);
}

// A client hung for good must not take idler with it: each send to it gives
// up after a bound, and once it counts as hung (5 s without reading a
// message) at once. Nothing of a line that could not go reaches the room.
const std::string kAdvert = kFrame + kTag + "[Zorvik] \xB7 AOL 5.0 Idle";
constexpr POINT kStartStop{3720 + 400, 1320 + 180};

// How long after `from` a real click on "Options" opened the pop-up (closed
// again with Escape); a negative time when it did not open within 10 s.
double MenuOpensAfter(HWND form, double from) {
    Click(form, 2520 + 300, 120);
    if (!WaitFor([] { return OpenMenu() != nullptr; }, 10000)) return -1;
    const double took = Seconds() - from;
    Key(VK_ESCAPE);
    WaitFor([] { return OpenMenu() == nullptr; }, 3000);
    return took;
}

// Once the client answers again, Advertise's pair is the room's next two
// lines, and the client got no text or key but those of the lines it said.
void ExpectOnlyTheAdvertAfter(HWND form, const standin_harness::Standin& client, size_t lines) {
    ASSERT_TRUE(client.WaitFor(Named("recover"), 40s));
    // Awake is not yet answering: the client counts as hung until it reads
    // its queue again, which a message sent to it and answered shows. The
    // command is posted, not clicked: the client, working off what queued up
    // in the hang, may take the foreground in the middle of a click.
    ASSERT_TRUE(SendMessageTimeoutW(FindTop(L"AOL Frame25", nullptr), WM_NULL, 0, 0, SMTO_NORMAL,
                                    10000, nullptr));
    Command(form, kMnuAd);
    ASSERT_TRUE(client.WaitFor(Named("chat"), 10s, lines + 2)) << "no Advertise after the hang";
    const auto events = client.Events();
    const std::vector<std::string> said = standin_log::ChatBytes(events);
    EXPECT_EQ(said[lines], kAdvert);
    EXPECT_EQ(standin_log::Count(events, Named("settext")), lines + 2);
    EXPECT_EQ(standin_log::Count(events, Named("char")), lines + 2);
}

TEST(ReliabilityHungClient, StartedBesideAClientHungForGoodIdlerStaysInTheUsersHands) {
    auto client = standin_harness::Start(L"--hang-at=0 --hang-for=25");
    ASSERT_TRUE(client);
    ASSERT_TRUE(client->WaitFor(Named("hang"), 15s));
    const double started = Seconds();
    Process idler = Start(L"idler.exe");
    const HWND form = FindIdler(idler.pid(), 15000);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(WaitFor([&] { return IsWindowVisible(form) != FALSE; }, 15000));
    const double shown = Seconds() - started;

    // Hung for over 5 s by now: the tick gives up on it at once.
    Click(form, kStartStop.x, kStartStop.y);
    const double ticked = Seconds();
    Tick(form, kTimer1);
    ASSERT_TRUE(CounterReads(form, L"1"));
    const double menu = MenuOpensAfter(form, ticked);
    EXPECT_GE(menu, 0) << "the menu did not open";
    EXPECT_LT(menu, 2.0);
    Click(form, kStartStop.x, kStartStop.y);
    EXPECT_EQ(StopTimerInside(form, kTimer1), false) << "Stop did not stop idling";
    ASSERT_FALSE(client->WaitFor(Named("recover"), 0ms)) << "the hang ended before the checks";

    ASSERT_NO_FATAL_FAILURE(ExpectOnlyTheAdvertAfter(form, *client, 0));
    EXPECT_TRUE(idler.Running());
    std::printf("started beside a hung client: window shown after %.2f s; a tick during the hang "
                "left the menu to open %.2f s after it\n",
                shown, menu);
    std::fflush(stdout);
}

TEST(ReliabilityHungClient, AClientAsleepInsideALinesEnterCostsIdlerOneBoundedWait) {
    auto client = standin_harness::Start(L"--hang-on-line=3 --hang-for=15");
    ASSERT_TRUE(client);
    Process idler;
    const HWND form = StartBeside(*client, idler);
    ASSERT_NE(form, nullptr) << "no window, or no opening pair";

    // The tick's first line is said, then the client sleeps inside its Enter.
    Tick(form, kTimer1);
    ASSERT_TRUE(client->WaitFor(Named("hang"), 10s));
    const double menu = MenuOpensAfter(form, Seconds());
    EXPECT_GE(menu, 0) << "the menu did not open";
    EXPECT_LT(menu, 6.0);
    EXPECT_TRUE(CounterReads(form, L"1", 0));
    ASSERT_FALSE(client->WaitFor(Named("recover"), 0ms)) << "the hang ended before the checks";

    // Its link line was dropped whole: neither its text nor an Enter arrives.
    ASSERT_NO_FATAL_FAILURE(ExpectOnlyTheAdvertAfter(form, *client, 3));
    EXPECT_TRUE(idler.Running());
    std::printf("client asleep inside a line's Enter: the menu opened %.2f s after the hang "
                "began\n",
                menu);
    std::fflush(stdout);
}

// ==== 3. Hand-edited data files =================================================

// A data file as someone's editor (or a broken disk) left it, and what idler
// must make of it: Load Time puts `loaded` into the counter, Load Prefs puts
// the three texts and Silent into the window, and the next tick counts to
// `counted` (and, unless silent, says so in the room).
struct BadFile {
    const char* name;
    std::string bytes;
    std::wstring loaded;
    std::wstring counted;
    std::wstring reason, link, text;
    bool silent = false;
    bool unreadable = false; // each Load says so in a box and changes nothing
};

// Bytes that look like nothing: a fixed pseudo-random sequence.
std::string Junk(size_t size, unsigned seed) {
    std::mt19937 random(seed);
    std::string bytes(size, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    return bytes;
}

std::string Without(std::string bytes, std::string_view drop, char instead) {
    for (char& c : bytes)
        if (drop.find(c) != std::string_view::npos) c = instead;
    return bytes;
}

std::string Utf16(const std::u16string& text, bool littleEndian) {
    std::string bytes;
    for (char16_t u : text) {
        const char low = static_cast<char>(u & 0xFF), high = static_cast<char>(u >> 8);
        bytes += littleEndian ? low : high;
        bytes += littleEndian ? high : low;
    }
    return bytes;
}

// Entries of a section nobody reads, up to a size.
std::string Filler(size_t size) {
    std::string bytes = "[Filler]\r\n";
    for (int n = 0; bytes.size() < size; ++n)
        bytes += "KEY" + std::to_string(n) + "=" + std::string(100, 'f') + "\r\n";
    return bytes;
}

std::vector<BadFile> BadFiles() {
    const std::string mark8 = "\xEF\xBB\xBF";
    const std::string digits800 = "1" + std::string(799, '0');
    return {
        {"empty file", "", L"", L"1", L"", L"", L""},
        // One line that opens no section: nothing in it is any entry's.
        {"binary junk, one line", "\x01" + Without(Junk(64 << 10, 1), "\r\n", ' '), L"", L"1", L"",
         L"", L""},
        {"binary junk with line breaks and no [", "\x01" + Without(Junk(64 << 10, 2), "[", ' '),
         L"", L"1", L"", L"", L""},
        {"binary junk before good sections",
         "\x01" + Without(Junk(4096, 3), "\r\n", '.') +
             "\r\n[Time]\r\nTIME=3\r\n[Prefs]\r\n"
             "REASON=after junk\r\n",
         L"3", L"4", L"after junk", L"", L""},
        {"a 1 MB line",
         "[Prefs]\r\nREASON=" + std::string(1 << 20, 'x') +
             "\r\nLINK=http://example.com/\r\n[Time]\r\nTIME=7\r\n",
         L"7", L"8", std::wstring(749, L'x'), L"http://example.com/", L""},
        {"no line break at the end", "[Prefs]\r\nTEXT=last\r\n[Time]\r\nTIME=33", L"33", L"34", L"",
         L"", L"last"},
        {"Ctrl-Z at the end", "[Time]\r\nTIME=6\x1A", L"6", L"7", L"", L"", L""},
        {"UTF-8 byte-order mark",
         mark8 + "[Time]\r\nTIME=5\r\n[Prefs]\r\nREASON=caf\xC3\xA9 \xE2\x80\xA2\r\n", L"5", L"6",
         L"caf\u00E9 \u2022", L"", L""},
        // Each bad byte reads as U+FFFD, which the fields (ANSI, as the chat
        // line is) hold as '?'.
        {"bad UTF-8 after a UTF-8 mark", mark8 + "[Prefs]\r\nREASON=\xFF\xFEok\r\n", L"", L"1",
         L"??ok", L"", L""},
        {"UTF-16 LE byte-order mark",
         "\xFF\xFE" + Utf16(u"[Time]\r\nTIME=21\r\n[Prefs]\r\nREASON=wide \u00F8\r\n"
                            u"[Checks]\r\nCHECKED=UnChecked\r\n",
                            true),
         L"21", L"22", L"wide \u00F8", L"", L""},
        {"UTF-16 BE byte-order mark",
         "\xFE\xFF" + Utf16(u"[Prefs]\r\nLINK=http://be/\r\n[Time]\r\nTIME=22\r\n", false), L"22",
         L"23", L"", L"http://be/", L""},
        {"UTF-16 LE of odd length", "\xFF\xFE" + Utf16(u"[Time]\r\nTIME=31\r\n", true) + "\x07",
         L"31", L"32", L"", L"", L""},
        // Without its mark it is 8-bit text full of NULs: no name survives.
        {"UTF-16 LE without its mark", Utf16(u"[Time]\r\nTIME=9\r\n[Prefs]\r\nREASON=x\r\n", true),
         L"", L"1", L"", L"", L""},
        // Only the first section of a name counts, and in it the first key.
        {"duplicate sections",
         "[Time]\r\nTIME=1\r\n[Prefs]\r\nREASON=first\r\n[Time]\r\nTIME=2\r\n"
         "[Prefs]\r\nREASON=second\r\nLINK=second-link\r\n",
         L"1", L"2", L"first", L"", L""},
        {"duplicate keys", "[Time]\r\nTIME=10\r\ntime=20\r\nTime=30\r\n", L"10", L"11", L"", L"",
         L""},
        // A key without "=" holds no value, and hides a later one of its name.
        {"keys without =", "[Prefs]\r\nREASON\r\nLINK=http://x/\r\n[Time]\r\nTIME\r\nTIME=5\r\n",
         L"", L"1", L"", L"http://x/", L""},
        {"a section header without ]", "[Time\r\nTIME=5\r\n", L"", L"1", L"", L"", L""},
        {"names with blanks and in other cases", "[ time ]\r\n  tImE =  14 \r\n", L"14", L"15", L"",
         L"", L""},
        {"counter abc", "[Time]\r\nTIME=abc\r\n", L"abc", L"1", L"", L"", L""},
        {"counter 1e400", "[Time]\r\nTIME=1e400\r\n", L"1e400", L"1", L"", L"", L""},
        {"counter -5", "[Time]\r\nTIME=-5\r\n", L"-5", L"-4", L"", L"", L""},
        {"counter   12   (the reader trims)", "[Time]\r\nTIME=  12  \r\n", L"12", L"13", L"", L"",
         L""},
        {"counter \"  12  \" (quoted, kept)", "[Time]\r\nTIME=\"  12  \"\r\n", L"  12  ", L"13",
         L"", L"", L""},
        {"empty TIME=", "[Time]\r\nTIME=\r\n", L"", L"1", L"", L"", L""},
        // Read back as its first 749 digits: 1e748, past any double.
        {"TIME of 800 digits", "[Time]\r\nTIME=" + digits800 + "\r\n",
         std::wstring(digits800.begin(), digits800.begin() + 749), L"1", L"", L"", L""},
        {"NULs inside values",
         "[Time]\r\nTIME=4\0"
         "2\r\n[Prefs]\r\nREASON=nul\0hidden\r\n"s,
         L"4", L"5", L"nul", L"", L""},
        {"CR-only line ends", "[Time]\rTIME=8\r[Prefs]\rREASON=cr\rLINK=http://cr/\r", L"8", L"9",
         L"cr", L"http://cr/", L""},
        {"LF-only line ends, silent", "[Time]\nTIME=9\n[Checks]\nCHECKED=Checked\n", L"9", L"10",
         L"", L"", L"", true},
        {"Checked between blanks and quotes", "[Checks]\r\nCHECKED= \"Checked\" \r\n", L"", L"1",
         L"", L"", L"", true},
        {"a 10 MB file", "[Prefs]\r\nREASON=big\r\n" + Filler(10 << 20) + "[Time]\r\nTIME=42\r\n",
         L"42", L"43", L"big", L"", L""},
        // Past the store's 16 MiB bound the file is unreadable: both Loads
        // say so and leave the window as it was.
        {"a 17 MB file, past the store's bound",
         "[Time]\r\nTIME=42\r\n[Prefs]\r\nREASON=huge\r\n" + Filler(17 << 20), L"(before)", L"1",
         L"(before)", L"(before)", L"(before)", true, true},
    };
}

TEST(ReliabilityDataFile, HandEditedFilesLoadToDefinedValuesAndAreNeverWritten) {
    RemoveDataFile();
    RemoveTempFiles();
    auto client = standin_harness::Start(L"");
    ASSERT_TRUE(client);
    Process idler;
    const HWND form = StartBeside(*client, idler);
    ASSERT_NE(form, nullptr) << "no window, or no opening pair";
    const std::wstring kBefore = L"(before)";
    const auto answerUnreadable = [&](const BadFile& file) {
        if (!file.unreadable) return;
        HWND box = FindMessageBox(L"Not loaded!");
        ASSERT_NE(box, nullptr) << "no box for a file that cannot be read";
        PressButton(box, IDOK);
        ASSERT_TRUE(WaitFor([&] { return !IsWindow(box); }));
    };

    for (const BadFile& file : BadFiles()) {
        SCOPED_TRACE(file.name);
        ASSERT_TRUE(WriteDataFile(file.bytes));
        const std::vector<std::wstring> beside = FilesBeside(L"vex*");
        // Values no file gives, so every change is seen.
        for (HWND field : {Text1(form), Text2(form), Text3(form), Text4(form)})
            TypeText(field, kBefore);
        SendMessageW(Check1(form), BM_SETCHECK, file.silent ? BST_UNCHECKED : BST_CHECKED, 0);
        const bool silent = file.silent != file.unreadable;

        Command(form, kMnuLtime);
        answerUnreadable(file);
        EXPECT_TRUE(CounterReads(form, file.loaded))
            << "counter " << testing::PrintToString(ReadText(Text1(form)));
        Command(form, kMnuLpref);
        answerUnreadable(file);
        const auto loaded = [&] {
            return ReadText(Text4(form)) == file.reason && ReadText(Text3(form)) == file.link &&
                   ReadText(Text2(form)) == file.text &&
                   ReadCheck(Check1(form)) == (silent ? BST_CHECKED : BST_UNCHECKED);
        };
        EXPECT_TRUE(WaitFor(loaded, 10000))
            << "reason " << testing::PrintToString(ReadText(Text4(form))) << ", link "
            << testing::PrintToString(ReadText(Text3(form))) << ", text "
            << testing::PrintToString(ReadText(Text2(form))) << ", silent "
            << ReadCheck(Check1(form));

        const size_t lines = LinesIn(*client);
        Tick(form, kTimer1);
        EXPECT_TRUE(CounterReads(form, file.counted))
            << "counter " << testing::PrintToString(ReadText(Text1(form)));
        if (!silent) {
            ASSERT_TRUE(client->WaitFor(Named("chat"), 10s, lines + 2)) << "the tick said nothing";
            const std::vector<std::string> said = standin_log::ChatBytes(client->Events());
            EXPECT_EQ(said[lines], Status(file.counted, file.reason));
            EXPECT_EQ(said[lines + 1], Link(file.link, file.text));
        }

        EXPECT_TRUE(BoxesOf(idler.pid()).empty()) << "a message box came up";
        ASSERT_TRUE(idler.Running()) << "idler ended";
        const std::optional<std::string> after = DataFileBytes();
        EXPECT_TRUE(after == file.bytes) << "the file was changed: " << (after ? after->size() : 0)
                                         << " bytes, " << file.bytes.size() << " before";
        EXPECT_EQ(FilesBeside(L"vex*"), beside) << "a file was left beside it";
    }
    EXPECT_EQ(LinesIn(*client) % 2, 0u);
    RemoveDataFile();
}

// ==== 4. idler killed while it saves ============================================

// The kills run here; IDLER_RELIABILITY_KILLS asks for more (or fewer).
int Kills() {
    wchar_t value[16] = {};
    if (!GetEnvironmentVariableW(L"IDLER_RELIABILITY_KILLS", value, 16)) return 30;
    return std::max(1, _wtoi(value));
}

// A counter for save n: lengths vary, so a torn write cannot pass for whole.
std::wstring SaveValue(int n) {
    return std::to_wstring(n) + std::wstring(static_cast<size_t>(n % 4) * 300, L'0');
}

// The file as it must be after any save: the user's own lines kept, the time
// replaced in its place.
std::string FileHolding(const std::wstring& time) {
    static const std::string head =
        "; my idle data\r\n[Prefs]\r\nREASON=" + std::string(4000, 'r') + "\r\n[Time]\r\nTIME=";
    return head + Cp1252(time) + "\r\n[Checks]\r\nCHECKED=UnChecked\r\n";
}

// Saves back to back, each with a new counter, from a thread of its own, until
// idler stops answering (it was killed). What it knows of the saves is kept
// under the lock.
struct Flood {
    std::mutex lock;
    std::wstring done;     // the counter of the last save that returned
    std::wstring inFlight; // the counter of a save not yet returned, if any
    int saves = 0;
    double busy = 0; // seconds spent in the saves that returned
    std::atomic<bool> stop{false};

    void Run(HWND form, int& next) {
        HWND counter = Text1(form);
        while (!stop) {
            const std::wstring value = SaveValue(next++);
            DWORD_PTR result = 0;
            if (!SendMessageTimeoutW(counter, WM_SETTEXT, 0,
                                     reinterpret_cast<LPARAM>(value.c_str()), SMTO_NORMAL, 5000,
                                     &result))
                return;
            {
                std::lock_guard<std::mutex> hold(lock);
                inFlight = value;
            }
            const double start = Seconds();
            if (!SendMessageTimeoutW(form, WM_COMMAND, kMnuStime, 0, SMTO_NORMAL, 5000, &result))
                return;
            std::lock_guard<std::mutex> hold(lock);
            busy += Seconds() - start;
            done = value;
            inFlight.clear();
            ++saves;
        }
    }
};

TEST(ReliabilityKill, KilledDuringSaveTimeTheFileHoldsAnOldOrNewValueNeverATornOne) {
    RemoveDataFile();
    RemoveTempFiles();
    std::wstring stored = L"0";
    ASSERT_TRUE(WriteDataFile(FileHolding(stored)));
    std::mt19937 random(20240601);
    std::uniform_int_distribution<int> delayMs(0, 120);
    int next = 1, newer = 0, older = 0, tempsLeft = 0, kills = 0, totalSaves = 0;
    double busy = 0;

    for (int kill = 1; kill <= Kills(); ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        Process idler = Start(L"idler.exe");
        const HWND form = FindIdler(idler.pid());
        ASSERT_NE(form, nullptr);
        Flood flood;
        flood.done = stored;
        std::thread saver([&] { flood.Run(form, next); });
        // A few saves have gone through; then a moment picked at random.
        const bool going = WaitFor(
            [&] {
                std::lock_guard<std::mutex> hold(flood.lock);
                return flood.saves >= 3;
            },
            10000);
        const DWORD at = static_cast<DWORD>(delayMs(random));
        if (at) Sleep(at);
        TerminateProcess(idler.handle(), 9);
        const bool ended = idler.WaitExit(10000);
        flood.stop = true;
        saver.join();
        ASSERT_TRUE(going) << "the saves did not get going";
        ASSERT_TRUE(ended) << "idler did not end";
        ++kills;
        totalSaves += flood.saves;
        busy += flood.busy;

        const std::optional<std::string> bytes = DataFileBytes();
        ASSERT_TRUE(bytes) << "the data file is gone";
        if (*bytes == FileHolding(flood.done)) {
            ++older;
            stored = flood.done;
        } else if (!flood.inFlight.empty() && *bytes == FileHolding(flood.inFlight)) {
            ++newer;
            stored = flood.inFlight;
        } else {
            FAIL() << "torn data file (" << bytes->size()
                   << " bytes): " << testing::PrintToString(bytes->substr(0, 200));
        }
        const int temps = static_cast<int>(FilesBeside(L"vex*.tmp").size());
        EXPECT_LE(temps - tempsLeft, 1) << "one kill left more than one temporary file";
        tempsLeft = temps;
    }

    // After all that, a save still works and a load gives it back.
    Process idler = Start(L"idler.exe");
    const HWND form = FindIdler(idler.pid());
    ASSERT_NE(form, nullptr);
    TypeText(Text1(form), L"77");
    Command(form, kMnuStime);
    EXPECT_TRUE(WaitFor([] { return DataFileBytes() == FileHolding(L"77"); }, 10000));
    TypeText(Text1(form), L"0");
    Command(form, kMnuLtime);
    EXPECT_TRUE(CounterReads(form, L"77"));
    EXPECT_TRUE(BoxesOf(idler.pid()).empty());

    std::printf("kills during Save Time: %d kills over %d saves (%.1f ms a save); the file "
                "held the last finished save %d times and the one in flight %d times, torn "
                "never; %d vex*.tmp left behind in all\n",
                kills, totalSaves, totalSaves ? busy * 1000 / totalSaves : 0.0, older, newer,
                tempsLeft);
    std::fflush(stdout);
    RemoveTempFiles();
    RemoveDataFile();
}

} // namespace
