// The IMs Off/On commands and Scroll Stats as a person uses them: chosen from
// idler.exe's menu beside the stand-in client, whose log is the evidence: the
// keyword, the IM, the box answered, the IM window closed, and the room's
// lines byte for byte, in order.
#include "standin/log_reader.h"
#include "tests/bench/probe.h"
#include "tests/e2e/driver.h"
#include "tests/wine/standin_harness.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

using namespace driver;
using standin_log::Event;
using standin_log::Named;
using namespace std::chrono_literals;

namespace {

constexpr UINT_PTR kTimer1 = 1;
constexpr const char* kImCaption = "Send Instant Message";

// Points on the window, in twips.
constexpr POINT kStartButton{3720 + 400, 1320 + 180};
constexpr POINT kSilentBox{3600 + 100, 360 + 97};
constexpr POINT kAdvertise{3240 + 367, 127};

// The lines as the room receives them, in Windows-1252, spelled out here
// rather than taken from the program.
const std::string kFrame = "<font color=\"#000080\"><font face=\"arial narrow\"";
const std::string kTag = "></b>\x95[\x9B"
                         "vex\x8B]";
const std::string kImsOffLine = kFrame + kTag +
                                " \xB7 Instant Messages \xB7 \xF8"
                                "ff";
const std::string kImsOnLine = kFrame + kTag + " \xB7 Instant Messages \xB7 \xF8n";
const std::string kSilentOn = kFrame + kTag + " \xB7 Silent Mode \xB7 \xF8n";
const std::string kSiteAnchor = "</a>< a href=\"http://www.example.com/idler/\"></u>"
                                "<font color=\"#0000ff\">download me</a>";
const std::string kAdvert = kFrame + kTag + " \xB7 [Zorvik] \xB7 AOL 5.0 Idle";
const std::string kAdvertLink = kFrame + kTag + " \xB7 [Zorvik] \xB7 " + kSiteAnchor;

std::string UserLine(const std::string& name) {
    return kFrame + kTag + " \xB7 User \xB7 " + name;
}
std::string TotalLine(const std::string& total) {
    return kFrame + kTag + " \xB7 Total Idled \xB7 " + total + " min(s)";
}
using Steps = std::vector<std::string>;

// What one event of the client's log says about the switch, in a word or
// two; empty for events that play no part in it.
std::string Step(const Event& e) {
    const std::string name = e.Name();
    if (name == "keyword") return "keyword " + standin_log::FromHex(e.Get("hex"));
    if (name == "im") return "IM to " + e.Get("to") + ": " + standin_log::FromHex(e.Get("hex"));
    if (name == "ims") return e.Get("on") == "true" ? "IMs on" : "IMs off";
    if (name == "box_answered") return "box answered";
    if (name == "chat") return "chat " + standin_log::FromHex(e.Get("hex"));
    if (name == "opened" || name == "closed") {
        if (e.Get("caption") == kImCaption) return name + " IM window";
        if (e.Get("class") == "#32770") return name + " box";
    }
    return {};
}

// The steps of the events from index from on.
Steps StepsOf(const std::vector<Event>& events, size_t from = 0) {
    Steps steps;
    for (size_t i = from; i < events.size(); ++i) {
        std::string step = Step(events[i]);
        if (!step.empty()) steps.push_back(std::move(step));
    }
    return steps;
}

// Only the steps that begin with one of these words, in their order.
Steps Only(const Steps& steps, const std::vector<std::string>& heads) {
    Steps kept;
    for (const std::string& s : steps) {
        for (const std::string& head : heads) {
            if (s.rfind(head, 0) == 0) {
                kept.push_back(s);
                break;
            }
        }
    }
    return kept;
}

// One switch as the client lives it when all goes well, in the order it
// must happen. idler posts the key press to the box's button and WM_CLOSE to
// the IM window, then sends its line at once, so when the client handles the
// posts, before or after the line, is the client's own business: those
// steps are left out here and counted apart (AfterPosts).
Steps Switch(const std::string& screenName, bool on) {
    return {"keyword aol://9293:" + screenName,
            "opened IM window",
            "IM to " + screenName + ": Zorvik ownz!",
            on ? "IMs on" : "IMs off",
            "opened box",
            "chat " + (on ? kImsOnLine : kImsOffLine)};
}
const std::vector<std::string> kOrdered{"keyword", "opened", "IM", "chat"};
const Steps kAfterPosts{"box answered", "closed box", "closed IM window"};

// The posted steps of count switches, in any order among the others.
Steps PostedOf(const Steps& steps) {
    Steps posted = Only(steps, {"box answered", "closed"});
    std::sort(posted.begin(), posted.end());
    return posted;
}
Steps AfterPosts(int count) {
    Steps all;
    for (int i = 0; i < count; ++i) all.insert(all.end(), kAfterPosts.begin(), kAfterPosts.end());
    std::sort(all.begin(), all.end());
    return all;
}

Steps Concat(Steps first, const Steps& then) {
    first.insert(first.end(), then.begin(), then.end());
    return first;
}

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / double(frequency.QuadPart);
}

// The data file gone, before and after.
struct NoDataFile {
    NoDataFile() { DeleteFileW(kDataFile); }
    NoDataFile(const NoDataFile&) = delete;
    NoDataFile& operator=(const NoDataFile&) = delete;
    ~NoDataFile() { DeleteFileW(kDataFile); }
};

class ImE2E : public ::testing::Test {
  protected:
    // The stand-in first, so that the room is there for idler's opening pair;
    // the steps counted from then on.
    void StartBoth(const std::wstring& clientOptions) {
        ASSERT_TRUE(ParkPointer());
        client = standin_harness::Start(clientOptions);
        ASSERT_TRUE(client) << "standin.exe did not get ready";
        ASSERT_NO_FATAL_FAILURE(StartIdler());
        ASSERT_TRUE(client->WaitFor(Named("chat"), 10s, 2))
            << "idler's opening pair did not arrive";
        opened = client->Events().size();
    }

    void StartIdler() {
        idler = probe::Start(L"idler.exe");
        ASSERT_NE(idler.process.handle(), nullptr);
        form = FindIdler(idler.process.pid());
        ASSERT_NE(form, nullptr);
    }

    // The steps since the opening pair, once there are at least count of
    // them (or the time is up).
    Steps StepsReaching(size_t count, DWORD timeoutMs = 10000) const {
        Steps steps;
        WaitFor(
            [&] {
                steps = StepsOf(client->Events(), opened);
                return steps.size() >= count;
            },
            timeoutMs);
        return steps;
    }

    std::vector<std::string> RoomLines() const { return standin_log::ChatBytes(client->Events()); }

    // The count-th event that matches, waiting for it.
    std::optional<Event> Await(const standin_log::Match& match, size_t count = 1,
                               std::chrono::milliseconds timeout = 10s) const {
        return client->WaitFor(match, timeout, count);
    }

    std::unique_ptr<standin_harness::Standin> client;
    probe::Watched idler; // ended before the stand-in goes
    HWND form = nullptr;
    size_t opened = 0; // events in the log when the opening pair was out
};

// ---- the switch when all goes well -----------------------------------------

TEST_F(ImE2E, OffThenOnEachSwitchTheClientAndAnnounceOnlyAfterTheClientAnswersEvenInSilentMode) {
    ASSERT_NO_FATAL_FAILURE(StartBoth(L""));
    const Steps off = Switch("$IM_OFF", false), on = Switch("$IM_ON", true);
    const size_t perSwitch = off.size() + kAfterPosts.size();

    ASSERT_TRUE(ChooseMenu(form, menu::kImsOff));
    Steps steps = StepsReaching(perSwitch);
    EXPECT_EQ(Only(steps, kOrdered), off);
    EXPECT_EQ(PostedOf(steps), AfterPosts(1));

    ASSERT_TRUE(ChooseMenu(form, menu::kImsOn));
    steps = StepsReaching(2 * perSwitch);
    EXPECT_EQ(Only(steps, kOrdered), Concat(off, on));
    EXPECT_EQ(PostedOf(steps), AfterPosts(2));

    // Silent mode quiets the tick, not this line; and off again is sent again.
    Click(form, kSilentBox.x, kSilentBox.y);
    ASSERT_TRUE(Await(Named("chat"), 5));
    ASSERT_TRUE(ChooseMenu(form, menu::kImsOff));
    steps = StepsReaching(3 * perSwitch + 1);
    EXPECT_EQ(Only(steps, kOrdered), Concat(Concat(Concat(off, on), {"chat " + kSilentOn}), off));
    EXPECT_EQ(PostedOf(steps), AfterPosts(3));
}

TEST_F(ImE2E, AnImWindowAlreadyOpenIsTakenAsTheOneJustOpened) {
    // The window the keyword asks for would come only after a minute.
    ASSERT_NO_FATAL_FAILURE(StartBoth(L"--im-open=Somebody --im-delay=60"));
    ASSERT_TRUE(ChooseMenu(form, menu::kImsOff));
    // The open window sends to whom it was opened for; the client switches
    // nothing for that name, sends and closes its window; idler's wait for
    // the answer ends with the window, and its line follows.
    ASSERT_TRUE(Await(Named("chat"), 3));
    const Steps steps = StepsOf(client->Events(), opened);
    EXPECT_EQ(Only(steps, {"keyword", "IM ", "chat"}),
              (Steps{"keyword aol://9293:$IM_OFF", "IM to Somebody: Zorvik ownz!",
                     "chat " + kImsOffLine}));
}

// ---- the bounded waits ----------------------------------------------------

TEST_F(ImE2E, WithoutASendButtonIdlerGivesUpAfterItsBoundSendsNothingAndStaysResponsive) {
    ASSERT_NO_FATAL_FAILURE(StartBoth(L"--im-icons=8"));
    const double cpuBefore = probe::CpuMs(idler);
    const double start = Seconds();
    ASSERT_TRUE(ChooseMenu(form, menu::kImsOff));
    ASSERT_TRUE(Await(Named("opened", "caption", kImCaption)));

    // Inside the wait the window answers: Advertise posts its pair at once.
    Click(form, kAdvertise.x, kAdvertise.y);
    ASSERT_TRUE(Await(Named("chat"), 4, 5s)) << "Advertise did not post during the wait";
    EXPECT_LT(Seconds() - start, 5.0);

    // A tick brought forward inside the wait is posted too; once the bound has
    // passed, Timer1's tick is the only thing idler still posts.
    Sleep(static_cast<DWORD>(std::max(0.0, 11.0 - (Seconds() - start)) * 1000));
    const double cpuDuring = probe::CpuMs(idler) - cpuBefore;
    const double waited = Seconds() - start;
    Tick(form, kTimer1);
    ASSERT_TRUE(Await(Named("chat"), 6, 5s)) << "no tick after the bound";
    Sleep(300);

    const Steps steps = StepsOf(client->Events(), opened);
    EXPECT_EQ(Only(steps, {"IM", "opened box", "closed IM window"}), Steps{})
        << "eight icons: there is no Send button to click";
    const std::vector<std::string> lines = RoomLines();
    ASSERT_EQ(lines.size(), 6u);
    EXPECT_EQ(lines[2], kAdvert);
    EXPECT_EQ(lines[3], kAdvertLink);
    for (const std::string& line : lines)
        EXPECT_EQ(line.find("Instant Messages"), std::string::npos) << "no switch, no line";
    if (cpuBefore >= 0)
        std::printf("[ figures ] IM wait without Send: %.1f s watched, idler CPU %.0f ms\n", waited,
                    cpuDuring);
}

TEST_F(ImE2E, AnImWindowThatComesAfterTheBoundGetsNothing) {
    // The client opens the window 12 s after the keyword: too late.
    ASSERT_NO_FATAL_FAILURE(StartBoth(L"--im-delay=12"));
    ASSERT_TRUE(ChooseMenu(form, menu::kImsOff));
    ASSERT_TRUE(Await(Named("opened", "caption", kImCaption), 1, 16s));
    Sleep(1500);
    const Steps steps = StepsOf(client->Events(), opened);
    EXPECT_EQ(Only(steps, {"keyword", "IM", "chat"}), Steps{"keyword aol://9293:$IM_OFF"});
}

// ---- a switch inside a switch ----------------------------------------------

TEST_F(ImE2E, ASecondSwitchChosenDuringTheFirstsWaitRunsToItsEndInsideIt) {
    // Each IM window opens 2 s after its keyword; On is chosen while Off
    // waits. The inner call takes the first window that is ready (the one
    // Off asked for) and posts its line, "on", first. The outer call then
    // sends its own IM, to whichever window is ready once the inner one is
    // done, and only then posts "off".
    ASSERT_NO_FATAL_FAILURE(StartBoth(L"--im-delay=2"));
    ASSERT_TRUE(ChooseMenu(form, menu::kImsOff));
    ASSERT_TRUE(Await(Named("keyword")));
    ASSERT_TRUE(ChooseMenu(form, menu::kImsOn));
    ASSERT_TRUE(Await(Named("chat"), 4, 15s));
    const Steps steps = StepsOf(client->Events(), opened);
    EXPECT_EQ(Only(steps, {"keyword", "chat"}),
              (Steps{"keyword aol://9293:$IM_OFF", "keyword aol://9293:$IM_ON",
                     "chat " + kImsOnLine, "chat " + kImsOffLine}));
    const Steps sent = Only(steps, {"IM to", "chat"});
    ASSERT_EQ(sent.size(), 4u) << "each call sends its IM before its line";
    EXPECT_EQ(sent[0], "IM to $IM_OFF: Zorvik ownz!");
    EXPECT_EQ(sent[1], "chat " + kImsOnLine);
    EXPECT_EQ(sent[2].rfind("IM to $IM_O", 0), 0u) << sent[2];
    EXPECT_EQ(sent[3], "chat " + kImsOffLine);
}

// ---- Scroll Stats ------------------------------------------------------------

TEST_F(ImE2E, ScrollStatsPostsTheScreenNameAndTheSavedTotalEvenInSilentMode) {
    NoDataFile cleanup;
    ASSERT_TRUE(WriteDataFile("[Time]\r\nTIME=42\r\n"));
    ASSERT_NO_FATAL_FAILURE(StartBoth(L"--name=\"Pat Q\""));
    ASSERT_TRUE(ChooseMenu(form, menu::kScrollStats));
    ASSERT_TRUE(Await(Named("chat"), 4));

    Click(form, kSilentBox.x, kSilentBox.y); // Silent on, and its line
    ASSERT_TRUE(Await(Named("chat"), 5));
    ASSERT_TRUE(DeleteFileW(kDataFile));
    ASSERT_TRUE(ChooseMenu(form, menu::kScrollStats));
    ASSERT_TRUE(Await(Named("chat"), 7));

    const std::vector<std::string> lines = RoomLines();
    ASSERT_EQ(lines.size(), 7u);
    EXPECT_EQ(lines[2], UserLine("Pat Q"));
    EXPECT_EQ(lines[3], TotalLine("42"));
    EXPECT_EQ(lines[4], kSilentOn);
    EXPECT_EQ(lines[5], UserLine("Pat Q"));
    EXPECT_EQ(lines[6], TotalLine(""));
}

} // namespace
