// The idle engine as the chat room sees it: idler.exe beside the stand-in
// client, handled from outside with real mouse and keyboard input, and the
// room's lines compared byte for byte, in order, from the stand-in's log.
#include "tests/e2e/driver.h"
#include "tests/wine/standin_harness.h"
#include <gtest/gtest.h>
#include <chrono>
#include <cmath>
#include <memory>
#include <string>
#include <vector>

using namespace driver;

namespace {

constexpr UINT_PTR kTimer1 = 1, kTimer2 = 2;

// Points on the window, in twips.
constexpr POINT kStartButton{3720 + 400, 1320 + 180};
constexpr POINT kSilentBox{3600 + 100, 360 + 97};
constexpr POINT kReasonField{1080 + 300, 360 + 120};
constexpr POINT kTextField{1080 + 300, 1320 + 120};
constexpr POINT kAdvertise{3240 + 367, 127};
constexpr POINT kCloseGlyph{4440 + 127, 127};

// Every line as the room receives it, in Windows-1252, spelled out here
// rather than taken from the program.
const std::string kFrame = "<font color=\"#000080\"><font face=\"arial narrow\"";
const std::string kTag = "></b>\x95[\x9B"
                         "vex\x8B]";
const std::string kSiteAnchor = "</a>< a href=\"http://www.example.com/idler/\"></u>"
                                "<font color=\"#0000ff\">download me</a>";

const std::string kLoad = kFrame + kTag +
                          " \xB7 [Zorvik]  \xB7  L\xF8\xE5"
                          "d";
const std::string kSiteLink = kFrame + kTag + " \xB7 " + kSiteAnchor;
const std::string kUnload = kFrame + kTag +
                            " \xB7 [Zorvik]  \xB7  Unl\xF8\xE5"
                            "d";
const std::string kClosingUnload = kFrame + kTag +
                                   "  \xB7  [Zorvik]  \xB7  Unl\xF8\xE5"
                                   "d";
const std::string kAdvert = kFrame + kTag + " \xB7 [Zorvik] \xB7 AOL 5.0 Idle";
const std::string kAdvertLink = kFrame + kTag + " \xB7 [Zorvik] \xB7 " + kSiteAnchor;
const std::string kSilentOn = kFrame + kTag + " \xB7 Silent Mode \xB7 \xF8n";
const std::string kSilentOff = kFrame + kTag +
                               " \xB7 Silent Mode \xB7 \xF8"
                               "ff";
const std::string kMouseOn = kFrame + kTag + " \xB7 Mouse Movement \xB7 \xF8n";
const std::string kMouseOff = kFrame + kTag +
                              " \xB7 Mouse Movement \xB7 \xF8"
                              "ff";

// The tick's two lines for a count and the three fields' bytes.
std::string Status(const std::string& count, const std::string& reason) {
    return kFrame + kTag + " \xB7 " + count + " \xB7 " + reason;
}
std::string Link(const std::string& address, const std::string& text) {
    return kFrame + kTag + " \xB7 </a>< a href=\"" + address + "\"></u><font color=\"#0000ff\">" +
           text + "</a>";
}

using Lines = std::vector<std::string>;

Lines Concat(Lines first, const Lines& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

HWND FocusOf(HWND form) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info);
    return info.hwndFocus;
}

// The pointer reaches a point; the move may land after the call that made it.
bool PointerAt(int x, int y) {
    return WaitFor(
        [&] {
            POINT at{};
            GetCursorPos(&at);
            return at.x == x && at.y == y;
        },
        3000);
}

// The time of day in seconds, as idler's Pause reads it (Wine shares the clock).
double ClockNow() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wHour * 3600.0 + t.wMinute * 60.0 + t.wSecond + t.wMilliseconds / 1000.0;
}

double Fraction(double seconds) {
    return seconds - std::floor(seconds);
}

// Waits, polling the clock, until its fraction of a second lies in
// [from, to); the reading then. (Across midnight the fraction still holds.)
double WaitForFraction(double from, double to) {
    double now = ClockNow();
    WaitFor(
        [&] {
            now = ClockNow();
            return Fraction(now) >= from && Fraction(now) < to;
        },
        3000);
    return now;
}

class EngineE2E : public ::testing::Test {
  protected:
    // The stand-in first, so that the room is there for idler's opening pair.
    void SetUp() override {
        ASSERT_TRUE(ParkPointer());
        client = standin_harness::Start(L"");
        ASSERT_TRUE(client) << "standin.exe did not get ready";
        idler = Start(L"idler.exe");
        ASSERT_NE(idler.handle(), nullptr);
        form = FindIdler(idler.pid());
        ASSERT_NE(form, nullptr);
        whenShown = RoomLines();
        ASSERT_TRUE(RoomReaches(2)) << "idler's opening pair did not arrive";
    }

    Lines RoomLines() const { return standin_log::ChatBytes(client->Events()); }

    // Waits until the room holds at least count lines.
    bool RoomReaches(size_t count) const {
        return client->WaitFor(standin_log::Named("chat"), std::chrono::seconds(10), count)
            .has_value();
    }

    // The room's lines once it holds the opening pair and as many again as
    // expected; equal only if nothing else was said.
    Lines RoomAfterOpening(size_t more) const {
        RoomReaches(2 + more);
        return RoomLines();
    }

    bool CounterReads(const std::wstring& count) const {
        return WaitFor([&] { return ReadText(Text1(form)) == count; }, 5000);
    }

    void PressStart() const { Click(form, kStartButton.x, kStartButton.y); }

    // The program ends by itself, cleanly, its window gone, after the room
    // heard the opening pair and then exactly these lines.
    void ExpectEndsAfter(const Lines& closing) const {
        ASSERT_TRUE(idler.WaitExit(10000)) << "idler is still running";
        DWORD code = STILL_ACTIVE;
        GetExitCodeProcess(idler.handle(), &code);
        EXPECT_EQ(code, 0u);
        EXPECT_FALSE(IsWindow(form));
        EXPECT_EQ(RoomLines(), Concat({kLoad, kSiteLink}, closing));
    }

    // Tab from the Text field to the Silent box, as the keyboard order goes.
    void FocusSilentBox() const {
        Click(form, kTextField.x, kTextField.y);
        ASSERT_TRUE(WaitFor([&] { return FocusOf(form) == Text2(form); }, 3000));
        for (int i = 0; i < 3; ++i) Key(VK_TAB);
        ASSERT_TRUE(WaitFor([&] { return FocusOf(form) == Check1(form); }, 3000));
    }

    std::unique_ptr<standin_harness::Standin> client;
    Process idler; // ended before the stand-in goes
    HWND form = nullptr;
    Lines whenShown; // the room as it was when the window first showed
};

// ---- start and the idle tick ------------------------------------------------

TEST_F(EngineE2E, StartSaysTheLoadLineThenTheSiteLinkBeforeTheWindowShows) {
    EXPECT_EQ(whenShown, (Lines{kLoad, kSiteLink}));
    // Nothing more follows on its own: the next line is the one asked for.
    Click(form, kAdvertise.x, kAdvertise.y);
    EXPECT_EQ(RoomAfterOpening(2), (Lines{kLoad, kSiteLink, kAdvert, kAdvertLink}));
}

TEST_F(EngineE2E, OneTickAfterStartSaysTheCountWithTheReasonThenTheLinkAsTyped) {
    Click(form, kReasonField.x, kReasonField.y);
    for (WORD key : {WORD{'A'}, WORD{'W'}, WORD{'A'}, WORD{'Y'}, WORD{VK_SPACE}, WORD{'5'}})
        Key(key);
    ASSERT_TRUE(WaitFor([&] { return ReadText(Text4(form)) == L"away 5"; }, 3000));
    // Inserted as they stand: the quote ends the href early, the markup stays.
    TypeText(Text3(form), L"http://example.com/?q=\"x\"&n=1");
    TypeText(Text2(form), L"<b>caf\u00e9</b> \u2022 menu");

    PressStart();
    Tick(form, kTimer1);
    EXPECT_TRUE(CounterReads(L"1"));
    EXPECT_EQ(RoomAfterOpening(2),
              (Lines{kLoad, kSiteLink, Status("1", "away 5"),
                     Link("http://example.com/?q=\"x\"&n=1", "<b>caf\xE9</b> \x95 menu")}));
}

TEST_F(EngineE2E, SilentTicksCountWithoutSayingAnythingAndTheNextLoudTickSaysTheSum) {
    PressStart();
    Click(form, kSilentBox.x, kSilentBox.y);
    ASSERT_TRUE(RoomReaches(3));
    EXPECT_EQ(ReadCheck(Check1(form)), BST_CHECKED);
    Tick(form, kTimer1);
    EXPECT_TRUE(CounterReads(L"1"));
    Tick(form, kTimer1);
    EXPECT_TRUE(CounterReads(L"2"));

    Click(form, kSilentBox.x, kSilentBox.y);
    ASSERT_TRUE(RoomReaches(4));
    EXPECT_EQ(ReadCheck(Check1(form)), BST_UNCHECKED);
    Tick(form, kTimer1);
    EXPECT_TRUE(CounterReads(L"3"));
    // Empty fields: the status line ends with its separator, the anchor is bare.
    EXPECT_EQ(RoomAfterOpening(4),
              (Lines{kLoad, kSiteLink, kSilentOn, kSilentOff, Status("3", ""), Link("", "")}));
}

TEST_F(EngineE2E, SpaceBarTogglesTheFocusedBoxSilentlyAndTheTickFollowsTheBox) {
    PressStart();
    ASSERT_NO_FATAL_FAILURE(FocusSilentBox());
    Key(VK_SPACE);
    ASSERT_TRUE(WaitFor([&] { return ReadCheck(Check1(form)) == BST_CHECKED; }, 3000));
    Tick(form, kTimer1);
    EXPECT_TRUE(CounterReads(L"1"));

    // The mark stayed off, so the menu sets the box (already checked), puts
    // the mark on and says Silent on: the first line since the opening pair.
    ASSERT_TRUE(ChooseMenu(form, menu::kSilent));
    EXPECT_EQ(RoomAfterOpening(1), (Lines{kLoad, kSiteLink, kSilentOn}));
    EXPECT_EQ(ReadCheck(Check1(form)), BST_CHECKED);

    // And back by the keyboard: the box alone goes off, the tick speaks again.
    ASSERT_NO_FATAL_FAILURE(FocusSilentBox());
    Key(VK_SPACE);
    ASSERT_TRUE(WaitFor([&] { return ReadCheck(Check1(form)) == BST_UNCHECKED; }, 3000));
    Tick(form, kTimer1);
    EXPECT_TRUE(CounterReads(L"2"));
    EXPECT_EQ(RoomAfterOpening(3),
              (Lines{kLoad, kSiteLink, kSilentOn, Status("2", ""), Link("", "")}));
}

// ---- the two roads to the end -----------------------------------------------

TEST_F(EngineE2E, MenuExitSaysUnloadAndSiteLinkAndEnds) {
    ASSERT_TRUE(ChooseMenu(form, menu::kExit));
    ExpectEndsAfter({kUnload, kSiteLink});
}

TEST_F(EngineE2E, CloseGlyphSaysUnloadAndSiteLinkAndEnds) {
    Click(form, kCloseGlyph.x, kCloseGlyph.y);
    ExpectEndsAfter({kUnload, kSiteLink});
}

TEST_F(EngineE2E, SystemCloseCommandSaysClosingThenUnloadEachWithItsSiteLinkAndEnds) {
    PostMessageW(form, WM_SYSCOMMAND, SC_CLOSE, 0);
    ExpectEndsAfter({kClosingUnload, kSiteLink, kUnload, kSiteLink});
}

TEST_F(EngineE2E, AltF4OnTheFocusedWindowClosesItLikeTheSystemCommand) {
    Click(form, kTextField.x, kTextField.y);
    ASSERT_TRUE(WaitFor([&] { return FocusOf(form) == Text2(form); }, 3000));
    KeyWith(VK_MENU, VK_F4);
    ExpectEndsAfter({kClosingUnload, kSiteLink, kUnload, kSiteLink});
}

// ---- a second copy -----------------------------------------------------------

// Started again while it runs (minimized), idler brings the running copy back
// to the front and ends at once; the room hears nothing from the second.
TEST_F(EngineE2E, ASecondStartRestoresTheRunningCopyAndEndsWithoutAWord) {
    ShowWindow(form, SW_MINIMIZE);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(form) != 0; }, 3000));
    Process second = Start(L"idler.exe");
    ASSERT_TRUE(second.WaitExit(10000)) << "the second copy still runs";
    DWORD code = STILL_ACTIVE;
    GetExitCodeProcess(second.handle(), &code);
    EXPECT_EQ(code, 0u);
    EXPECT_TRUE(WaitFor([&] { return !IsIconic(form) && GetForegroundWindow() == form; }, 3000));
    Click(form, kAdvertise.x, kAdvertise.y);
    EXPECT_EQ(RoomAfterOpening(2), (Lines{kLoad, kSiteLink, kAdvert, kAdvertLink}));
}

// ---- Advertise and the mouse mover ------------------------------------------

// A double-click is one click: on Start it starts idling (its second press
// lands on the Stop picture and is no click), on the label one pair.
TEST_F(EngineE2E, AdvertiseFromTheLabelAndFromTheMenuSaysItsPairAndADoubleClickIsOneClick) {
    DoubleClick(form, kStartButton.x, kStartButton.y);
    DoubleClick(form, kAdvertise.x, kAdvertise.y);
    ASSERT_TRUE(RoomReaches(4));
    ASSERT_TRUE(ChooseMenu(form, menu::kAdvertise));
    EXPECT_EQ(RoomAfterOpening(4),
              (Lines{kLoad, kSiteLink, kAdvert, kAdvertLink, kAdvert, kAdvertLink}));
    EXPECT_EQ(ReadText(Text1(form)), L"0");
    EXPECT_EQ(StopTimerInside(form, kTimer1), true) << "the double-click left idling off";
}

// A posted WM_TIMER runs the handler whether or not the timer runs, so "off"
// is shown by asking idler's own thread whether Timer2 still exists.
TEST_F(EngineE2E, MouseMovementMovesThePointerOnEachTickAndOffKillsItsTimer) {
    ASSERT_TRUE(ChooseMenu(form, menu::kMouseMovement));
    ASSERT_TRUE(RoomReaches(3));
    MoveMouse({900, 900}); // outside 1..700, so each move shows
    ASSERT_TRUE(PointerAt(900, 900));
    // The generator's first points from its fixed start, as in every run.
    Tick(form, kTimer2);
    EXPECT_TRUE(PointerAt(619, 303));
    Tick(form, kTimer2);
    EXPECT_TRUE(PointerAt(19, 680));

    ASSERT_TRUE(ChooseMenu(form, menu::kMouseMovement));
    ASSERT_TRUE(RoomReaches(4));
    EXPECT_EQ(StopTimerInside(form, kTimer2), false) << "Timer2 still runs after off";
    // On again: the probe does find the timer it then kills.
    ASSERT_TRUE(ChooseMenu(form, menu::kMouseMovement));
    ASSERT_TRUE(RoomReaches(5));
    EXPECT_EQ(StopTimerInside(form, kTimer2), true) << "Timer2 does not run after on";
    EXPECT_EQ(RoomLines(), (Lines{kLoad, kSiteLink, kMouseOn, kMouseOff, kMouseOn}));
}

// ---- a command inside the tick's pause --------------------------------------

// Pause(0) waits only when the tick comes in the second half of a clock
// second, until the next whole second. The tick is posted early in a second
// half with the Advertise label already pressed, and the press released once
// the status line is out. An attempt whose timing slipped past the second
// (a busy machine) proves nothing either way and is made again.
TEST_F(EngineE2E, AdvertiseChosenDuringTheTicksPauseFallsBetweenItsTwoLines) {
    PressStart();
    const int kAttempts = 5;
    for (int attempt = 1; attempt <= kAttempts; ++attempt) {
        const size_t before = RoomLines().size();
        MoveMouse(ToScreen(form, kAdvertise.x, kAdvertise.y));
        Press(Button::Left); // the label takes the press; its click comes on release

        const double posted = WaitForFraction(0.55, 0.7);
        Tick(form, kTimer1);
        const bool statusOut = RoomReaches(before + 1);
        const double released = ClockNow();
        Release(Button::Left);
        ASSERT_TRUE(statusOut);
        ASSERT_TRUE(RoomReaches(before + 4));
        const bool inTime = Fraction(posted) >= 0.55 && Fraction(released) < 0.85 &&
                            std::floor(posted) == std::floor(released);
        if (!inTime) continue;

        const Lines room = RoomLines();
        EXPECT_EQ(Lines(room.begin() + static_cast<long>(before), room.end()),
                  (Lines{Status(std::to_string(attempt), ""), kAdvert, kAdvertLink, Link("", "")}))
            << "attempt " << attempt;
        return;
    }
    FAIL() << "no attempt got its tick and click into the same second half";
}

} // namespace
