// A day of idling brought forward: idler beside the stand-in client, whose
// idle prompt comes back two seconds after every answer, and one minute's tick
// posted after another. IDLER_SOAK_TICKS sets how many (60 unless given;
// `make soak` gives 1440, a day). Every pair must reach the room whole and in
// order, every prompt must be answered by the next tick, and idler's memory,
// handles and GUI objects must stay as they were in the first hour.
#include "standin/log_reader.h"
#include "tests/bench/probe.h"
#include "tests/e2e/driver.h"
#include "tests/wine/standin_harness.h"
#include <gtest/gtest.h>
#include <algorithm>
#include <cstdio>
#include <map>

namespace {

using standin_log::Event;

constexpr int kDefaultTicks = 60;
constexpr DWORD kTickLimitMs = 10000;
// What may come and go between two looks without being a leak: a DC or a
// handle in use at that moment, the heap's own slack.
constexpr DWORD kHandleSlack = 2, kGdiSlack = 2;
constexpr SIZE_T kPrivateSlackKiB = 256;

const wchar_t kReason[] = L"gone fishing \u00B7 back s\u00F8\u00F8n";
const wchar_t kAddress[] = L"http://www.example.com/?lake=1&fish=\u00E5";
const wchar_t kLinkText[] = L"the lake";

int Ticks() {
    wchar_t value[16] = {};
    if (!GetEnvironmentVariableW(L"IDLER_SOAK_TICKS", value, 16)) return kDefaultTicks;
    return std::max(1, _wtoi(value));
}

std::string Cp1252(const std::wstring& text) {
    std::string out(text.size() * 2 + 1, '\0');
    const int n = WideCharToMultiByte(1252, 0, text.c_str(), static_cast<int>(text.size()),
                                      out.data(), static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(static_cast<size_t>(std::max(n, 0)));
    return out;
}

// The lines as the room must receive them, byte for byte (Windows-1252).
const std::string kFrame = "<font color=\"#000080\"><font face=\"arial narrow\"";
const std::string kTag = "></b>\x95[\x9Bvex\x8B] \xB7 ";

std::string StatusLine(int n) {
    return kFrame + kTag + std::to_string(n) + " \xB7 " + Cp1252(kReason);
}

std::string LinkLine() {
    return kFrame + kTag + "</a>< a href=\"" + Cp1252(kAddress) +
           "\"></u><font color=\"#0000ff\">" + Cp1252(kLinkText) + "</a>";
}

bool IsStatusLine(const std::string& line) {
    const std::string head = kFrame + kTag;
    return line.size() > head.size() && line.compare(0, head.size(), head) == 0 &&
           line[head.size()] >= '0' && line[head.size()] <= '9';
}

// The stand-in's log read as it grows: only what is new is read each time,
// so a day's log costs no more to follow at its end than at its start.
class LogTail {
  public:
    explicit LogTail(std::filesystem::path path) : path_(std::move(path)) {}

    const std::vector<Event>& Events() {
        std::ifstream in(path_, std::ios::binary);
        in.seekg(static_cast<std::streamoff>(offset_));
        std::string fresh((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
        size_t start = 0;
        for (size_t end; (end = fresh.find('\n', start)) != std::string::npos; start = end + 1) {
            std::string_view line(fresh.data() + start, end - start);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
            if (auto e = standin_log::ParseEvent(line)) {
                if (e->Name() == "chat") lines_.push_back(standin_log::FromHex(e->Get("hex")));
                events_.push_back(std::move(*e));
            }
        }
        offset_ += start; // a line still being written is read next time
        return events_;
    }
    const std::vector<std::string>& ChatLines() {
        Events();
        return lines_;
    }

  private:
    std::filesystem::path path_;
    size_t offset_ = 0;
    std::vector<Event> events_;
    std::vector<std::string> lines_;
};

bool WaitForLines(LogTail& log, size_t count, DWORD timeoutMs) {
    return driver::WaitFor([&] { return log.ChatLines().size() >= count; }, timeoutMs);
}

// Lets the clock reach the second half of a second, where Pause waits for the
// next whole second and dispatches the program's events meanwhile.
void WaitForSecondHalf() {
    for (;;) {
        SYSTEMTIME t;
        GetLocalTime(&t);
        if (t.wMilliseconds >= 550 && t.wMilliseconds < 850) return;
        Sleep(t.wMilliseconds < 550 ? 550 - t.wMilliseconds : 1000 - t.wMilliseconds + 560);
    }
}

// Faults in how the idle prompts were met: a prompt still open when a second
// status line came (a tick went by without answering it), any answer other
// than "stay", a sign-off.
std::vector<std::string> PromptFaults(const std::vector<Event>& events, int& shown, int& answered) {
    std::vector<std::string> faults;
    std::map<std::string, int> open; // prompt -> status lines seen while it was open
    shown = answered = 0;
    for (const Event& e : events) {
        const std::string name = e.Name();
        if (name == "opened" && e.Get("class") == "_AOL_Modal") {
            open[e.Get("hwnd")] = 0;
            ++shown;
        } else if (name == "prompt_answered") {
            open.erase(e.Get("hwnd"));
            ++answered;
            if (e.Get("choice") != "stay")
                faults.push_back("a prompt was answered \"" + e.Get("choice") + "\" at " +
                                 e.Get("t"));
        } else if (name == "signoff") {
            faults.push_back("the user was signed off at " + e.Get("t"));
        } else if (name == "chat" && IsStatusLine(standin_log::FromHex(e.Get("hex")))) {
            // A prompt that opens during a tick, after its DismissModal, sees
            // that tick's status line; the next tick must answer it.
            for (auto& [hwnd, seen] : open) {
                if (++seen == 2)
                    faults.push_back("prompt " + hwnd + " outlived a tick, at " + e.Get("t"));
            }
        }
    }
    return faults;
}

struct Sample {
    probe::Memory memory;
    DWORD handles = 0, gdi = 0, user = 0;
    double cpuMs = 0;
};

Sample Look(const probe::Watched& idler) {
    Sample s;
    s.memory = probe::MemoryOf(idler).value_or(probe::Memory{});
    s.handles = probe::HandleCount(idler).value_or(0);
    s.gdi = probe::GdiObjects(idler).value_or(0);
    s.user = probe::UserObjects(idler).value_or(0);
    s.cpuMs = probe::CpuMs(idler);
    return s;
}

// The largest of one measure over a stretch of ticks [from, to).
template <typename F>
double MaxOf(const std::vector<Sample>& s, size_t from, size_t to, F measure) {
    double most = 0;
    for (size_t i = from; i < to; ++i) most = std::max(most, static_cast<double>(measure(s[i])));
    return most;
}

// CPU per tick over a stretch (sample i is taken after tick i + 1).
double CpuPerTick(const std::vector<Sample>& s, size_t from, size_t to) {
    const double before = from == 0 ? s[0].cpuMs : s[from - 1].cpuMs;
    return (s[to - 1].cpuMs - before) / static_cast<double>(to - from - (from == 0 ? 1 : 0));
}

TEST(Soak, EveryTickPostsItsPairInOrderAnswersThePromptAndLeavesNothingBehind) {
    const int ticks = Ticks();
    auto client = standin_harness::Start(L"--rooms=1 --idle-after=2 --signoff-after=10");
    ASSERT_TRUE(client);
    LogTail log(client->log);
    const probe::Watched idler = probe::Start(L"idler.exe");
    const HWND form = driver::FindIdler(idler.process.pid(), 30000);
    ASSERT_NE(form, nullptr);
    ASSERT_TRUE(WaitForLines(log, 2, kTickLimitMs)) << "no load line";
    driver::TypeText(driver::Text4(form), kReason);
    driver::TypeText(driver::Text3(form), kAddress);
    driver::TypeText(driver::Text2(form), kLinkText);

    // Start is not pressed: Timer1 would add a tick of its own every minute,
    // and every tick here is one brought forward.
    std::vector<Sample> samples;
    const DWORD began = GetTickCount();
    for (int n = 1; n <= ticks; ++n) {
        if (n % 2 == 0) WaitForSecondHalf(); // the others come at once
        driver::Tick(form, 1);
        if (!WaitForLines(log, 2 + 2 * static_cast<size_t>(n), kTickLimitMs)) {
            int shown = 0, answered = 0;
            std::string why;
            for (const std::string& f : PromptFaults(log.Events(), shown, answered))
                why += "; " + f;
            FAIL() << "tick " << n << " did not post its pair; idler "
                   << (idler.process.Running() ? "runs" : "has ended") << why;
        }
        samples.push_back(Look(idler));
    }
    const double seconds = (GetTickCount() - began) / 1000.0;

    const std::vector<std::string>& lines = log.ChatLines();
    ASSERT_EQ(lines.size(), 2 + 2 * static_cast<size_t>(ticks));
    for (int n = 1; n <= ticks; ++n) {
        const size_t at = 2 * static_cast<size_t>(n);
        ASSERT_EQ(lines[at], StatusLine(n)) << "line " << at + 1;
        ASSERT_EQ(lines[at + 1], LinkLine()) << "line " << at + 2;
    }
    EXPECT_EQ(driver::ReadText(driver::Text1(form)), std::to_wstring(ticks));

    int shown = 0, answered = 0;
    for (const std::string& fault : PromptFaults(log.Events(), shown, answered))
        ADD_FAILURE() << fault;
    EXPECT_GE(answered, std::min(3, ticks / 20))
        << "the prompt hardly came: the soak proves little";

    // First hour against last hour (a twenty-fourth of the run, 5 ticks at least).
    const size_t hour = std::max<size_t>(5, static_cast<size_t>(ticks) / 24);
    ASSERT_GE(samples.size(), 2 * hour);
    const size_t last = samples.size() - hour;
    const auto privateKiB = [](const Sample& s) { return s.memory.privateBytes / 1024; };
    const auto workingKiB = [](const Sample& s) { return s.memory.workingSet / 1024; };
    const auto handles = [](const Sample& s) { return s.handles; };
    const auto gdi = [](const Sample& s) { return s.gdi; };
    const auto user = [](const Sample& s) { return s.user; };
    std::printf("soak: %d ticks in %.0f s; prompts shown %d, answered %d\n"
                "| idler, largest over the stretch | ticks 1-%zu | ticks %zu-%d |\n"
                "|---|---|---|\n",
                ticks, seconds, shown, answered, hour, last + 1, ticks);
    const auto row = [&](const char* what, auto measure) {
        std::printf("| %s | %.0f | %.0f |\n", what, MaxOf(samples, 0, hour, measure),
                    MaxOf(samples, last, samples.size(), measure));
    };
    row("working set, KiB", workingKiB);
    row("private bytes, KiB", privateKiB);
    row("handles", handles);
    row(probe::UnderWine() ? "GDI objects (Wine's GDI handle table)" : "GDI objects", gdi);
    row(probe::UnderWine() ? "USER objects (windows)" : "USER objects", user);
    std::printf("| CPU per tick, ms (mean) | %.2f | %.2f |\n", CpuPerTick(samples, 0, hour),
                CpuPerTick(samples, last, samples.size()));
    std::fflush(stdout);

    EXPECT_GT(MaxOf(samples, 0, hour, handles), 0) << "handles not counted";
    EXPECT_GT(MaxOf(samples, 0, hour, gdi), 0) << "GDI objects not counted";
    EXPECT_LE(MaxOf(samples, last, samples.size(), handles),
              MaxOf(samples, 0, hour, handles) + kHandleSlack);
    EXPECT_LE(MaxOf(samples, last, samples.size(), gdi), MaxOf(samples, 0, hour, gdi) + kGdiSlack);
    EXPECT_LE(MaxOf(samples, last, samples.size(), user), MaxOf(samples, 0, hour, user));
    EXPECT_LE(MaxOf(samples, last, samples.size(), privateKiB),
              MaxOf(samples, 0, hour, privateKiB) + kPrivateSlackKiB);
}

} // namespace
