// Measures idler.exe next to the baseline window, both started from beside
// this program, and prints one Markdown table: executable size, start-up
// time, CPU per tick, CPU over a wait with no client to answer it, peak
// memory. The stand-in client plays the chat room.
// Usage: bench [--ticks=N] (silent ticks; 1000 unless given)
#include "standin/log_reader.h"
#include "tests/bench/probe.h"
#include "tests/e2e/driver.h"
#include "tests/wine/standin_harness.h"
#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

using namespace std::chrono_literals;

constexpr int kStartupRuns = 5;
constexpr int kPostingTicks = 50;
constexpr DWORD kStartLimitMs = 30000;
// idler gives up waiting for the client's IM window after 10 s; two more
// seconds show it has gone back to sleep.
constexpr DWORD kImWaitWindowMs = 12000;
constexpr DWORD kIdleWindowMs = 10000;
// The Start button (twips); the Stop picture covers the same place.
constexpr int kStartX = 3720 + 400, kStartY = 1320 + 180;
constexpr double kTickTargetMs = 2.0;
constexpr double kMemoryTargetRatio = 1.2;
// A waiting program that uses more than this share of one core is polling.
constexpr double kBusyShare = 0.05;

double NowMs() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

std::string Format(const char* format, ...) {
    char buffer[512];
    va_list args;
    va_start(args, format);
    std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    return buffer;
}

struct Row {
    std::string measure, idler, baseline, target;
};

void PrintTable(const std::vector<Row>& rows) {
    std::printf("| Measure | idler | baseline | Target |\n|---|---|---|---|\n");
    for (const Row& r : rows) {
        std::printf("| %s | %s | %s | %s |\n", r.measure.c_str(), r.idler.c_str(),
                    r.baseline.c_str(), r.target.c_str());
    }
    std::fflush(stdout);
}

std::string Verdict(bool met) {
    return met ? "met" : "**missed**";
}

// Ends the run; the programs started so far are closed on the way out.
[[noreturn]] void Fail(const char* what) {
    throw std::runtime_error(what);
}

// ---- executable size ---------------------------------------------------------

std::vector<char> ReadFileBytes(const std::wstring& path) {
    std::ifstream in(path.c_str(), std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

template <typename T> T At(const std::vector<char>& data, size_t offset) {
    T value{};
    if (offset + sizeof value <= data.size())
        std::memcpy(&value, data.data() + offset, sizeof value);
    return value;
}

// Bytes of the file taken by the resource section (pictures, icon, manifest).
size_t ResourceBytes(const std::vector<char>& pe) {
    const auto header = At<DWORD>(pe, 0x3C);
    const auto sections = At<WORD>(pe, header + 6);
    const auto optionalSize = At<WORD>(pe, header + 20);
    const size_t table = header + 24 + optionalSize;
    size_t bytes = 0;
    for (size_t i = 0; i < sections; ++i) {
        const size_t entry = table + 40 * i;
        if (std::strncmp(pe.data() + entry, ".rsrc", 8) == 0) bytes += At<DWORD>(pe, entry + 16);
    }
    return bytes;
}

Row SizeRow() {
    const std::vector<char> idler = ReadFileBytes(driver::Here() + L"idler.exe");
    const std::vector<char> baseline = ReadFileBytes(driver::Here() + L"baseline.exe");
    if (idler.empty() || baseline.empty()) Fail("idler.exe or baseline.exe missing");
    return {"Executable size, bytes",
            Format("%zu (%zu without .rsrc)", idler.size(), idler.size() - ResourceBytes(idler)),
            Format("%zu", baseline.size()), "-"};
}

// ---- start-up ------------------------------------------------------------------

struct WindowSearch {
    DWORD pid;
    const wchar_t* cls;
    HWND found;
};

BOOL CALLBACK MatchWindow(HWND hwnd, LPARAM data) {
    auto* s = reinterpret_cast<WindowSearch*>(data);
    DWORD pid = 0;
    wchar_t cls[64];
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == s->pid && GetClassNameW(hwnd, cls, 64) && lstrcmpW(cls, s->cls) == 0 &&
        IsWindowVisible(hwnd)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

bool WindowShown(DWORD pid, const wchar_t* cls) {
    WindowSearch s{pid, cls, nullptr};
    EnumWindows(MatchWindow, reinterpret_cast<LPARAM>(&s));
    return s.found != nullptr;
}

// The load line ends with "  ·  Løåd" (the unload lines with "Unløåd").
size_t LoadLines(const standin_harness::Standin& client) {
    size_t n = 0;
    for (const std::string& line : standin_log::ChatBytes(client.Events())) {
        const std::string tail = "\xB7  L\xF8\xE5\x64";
        n += line.size() >= tail.size() &&
             line.compare(line.size() - tail.size(), tail.size(), tail) == 0;
    }
    return n;
}

struct Startup {
    double lineMs = -1, windowMs = -1;
};

// From CreateProcess to the room's load line and to the window being shown,
// looked for every millisecond.
Startup StartIdler(const standin_harness::Standin& client) {
    const size_t before = LoadLines(client);
    Startup s;
    const double start = NowMs();
    driver::Process idler = driver::Start(L"idler.exe");
    if (!idler.handle()) Fail("idler.exe did not start");
    while (NowMs() - start < kStartLimitMs && (s.lineMs < 0 || s.windowMs < 0)) {
        if (s.windowMs < 0 && WindowShown(idler.pid(), L"IdlerForm1")) s.windowMs = NowMs() - start;
        if (s.lineMs < 0 && LoadLines(client) > before) s.lineMs = NowMs() - start;
        Sleep(1);
    }
    if (s.lineMs < 0 || s.windowMs < 0) Fail("idler did not post its load line or show itself");
    return s;
}

double StartBaseline() {
    const double start = NowMs();
    driver::Process baseline = driver::Start(L"baseline.exe");
    if (!baseline.handle()) Fail("baseline.exe did not start");
    while (NowMs() - start < kStartLimitMs) {
        if (WindowShown(baseline.pid(), L"IdlerBaseline")) return NowMs() - start;
        Sleep(1);
    }
    Fail("the baseline window did not show");
}

// "median (min-max)" of a few runs.
std::string Spread(std::vector<double> ms) {
    std::sort(ms.begin(), ms.end());
    return Format("%.0f (%.0f-%.0f)", ms[ms.size() / 2], ms.front(), ms.back());
}

std::vector<Row> StartupRows() {
    auto client = standin_harness::Start(L"--rooms=1");
    if (!client) Fail("standin.exe did not start");
    std::vector<double> line, window, baseline;
    for (int i = 0; i < kStartupRuns; ++i) {
        const Startup s = StartIdler(*client);
        line.push_back(s.lineMs);
        window.push_back(s.windowMs);
        baseline.push_back(StartBaseline());
    }
    return {
        {Format("Start-up to the load line in the room, ms (median of %d, min-max)", kStartupRuns),
         Spread(line), "-", "-"},
        {"Start-up to the window shown, ms", Spread(window), Spread(baseline), "-"}};
}

// ---- ticks ---------------------------------------------------------------------

// The counter's number (Text1); -1 while it is not one.
long Counter(HWND text1) {
    const std::wstring text = driver::ReadText(text1);
    wchar_t* end = nullptr;
    const long n = std::wcstol(text.c_str(), &end, 10);
    return end != text.c_str() && *end == L'\0' ? n : -1;
}

size_t ChatLines(const standin_harness::Standin& client) {
    return standin_log::Count(client.Events(), standin_log::Named("chat"));
}

bool WaitChatLines(const standin_harness::Standin& client, size_t count) {
    return client.WaitFor(standin_log::Named("chat"), 10s, count).has_value();
}

void SwitchSilent(HWND form, const standin_harness::Standin& client, int want) {
    const size_t lines = ChatLines(client);
    if (!driver::ChooseMenu(form, driver::menu::kSilent)) Fail("the pop-up menu did not open");
    if (!driver::WaitFor([&] { return driver::ReadCheck(driver::Check1(form)) == want; }) ||
        !WaitChatLines(client, lines + 1))
        Fail("Silent Mode did not switch");
}

// Silent ticks one after another, each waited for by the counter moving on
// (Text1 read every millisecond).
Row SilentTickRow(const probe::Watched& idler, HWND form, int ticks) {
    const HWND text1 = driver::Text1(form);
    const long first = Counter(text1);
    const double cpu = probe::CpuMs(idler), start = NowMs();
    for (int i = 1; i <= ticks; ++i) {
        driver::Tick(form, 1);
        const double sent = NowMs();
        while (Counter(text1) < first + i) {
            if (NowMs() - sent > 10000) Fail("a silent tick did not count");
            Sleep(1);
        }
    }
    const double perTick = (probe::CpuMs(idler) - cpu) / ticks;
    const double wall = (NowMs() - start) / ticks;
    return {Format("CPU per silent tick, ms (%d ticks; wall per tick %.1f ms)", ticks, wall),
            Format("%.3f", perTick), "-",
            Format("< %.0f: %s", kTickTargetMs, Verdict(perTick < kTickTargetMs).c_str())};
}

// What reading the counter costs idler, to set beside the silent ticks.
Row ReadsAloneRow(const probe::Watched& idler, HWND form, int reads) {
    const HWND text1 = driver::Text1(form);
    const double cpu = probe::CpuMs(idler);
    for (int i = 0; i < reads; ++i) {
        Counter(text1);
        Sleep(1);
    }
    return {Format("CPU of %d counter reads alone (the measuring's own cost), ms", reads),
            Format("%.0f", probe::CpuMs(idler) - cpu), "-", "-"};
}

// Milliseconds into the current second of the clock Pause reads.
int MsIntoSecond() {
    SYSTEMTIME t;
    GetLocalTime(&t);
    return t.wMilliseconds;
}

// Waits until the clock is between from and to ms into a second.
void WaitForPhase(int from, int to) {
    for (int ms; (ms = MsIntoSecond()) < from || ms >= to;) Sleep(ms < from ? from - ms : 1);
}

// Posting ticks, each waited for by the room's two lines, all sent at one
// phase of the second: in the first half Pause returns at once, in the
// second it waits for the next whole second, which must cost no CPU.
Row PostingTickRow(const probe::Watched& idler, HWND form, const standin_harness::Standin& client,
                   bool secondHalf) {
    size_t lines = ChatLines(client);
    const double cpu = probe::CpuMs(idler), start = NowMs();
    for (int i = 0; i < kPostingTicks; ++i) {
        if (secondHalf)
            WaitForPhase(550, 850);
        else
            WaitForPhase(50, 350);
        driver::Tick(form, 1);
        lines += 2;
        if (!WaitChatLines(client, lines)) Fail("a tick's two lines did not reach the room");
    }
    const double perTick = (probe::CpuMs(idler) - cpu) / kPostingTicks;
    const double wall = (NowMs() - start) / kPostingTicks;
    return {Format("CPU per posting tick, ms (%d ticks, %s; wall per tick %.0f ms)", kPostingTicks,
                   secondHalf ? "in the second half of a second: Pause waits"
                              : "in the first half of a second: Pause returns at once",
                   wall),
            Format("%.2f", perTick), "-",
            Format("< %.0f: %s", kTickTargetMs, Verdict(perTick < kTickTargetMs).c_str())};
}

// Nothing to do: what idler costs between ticks (its caret blinks, the
// client's windows change), beside the baseline over the same wall time.
Row IdleRow(const probe::Watched& idler, const probe::Watched& baseline) {
    const double idlerCpu = probe::CpuMs(idler), baselineCpu = probe::CpuMs(baseline);
    const double start = NowMs();
    Sleep(kIdleWindowMs);
    const double wall = NowMs() - start;
    const double idlerUsed = probe::CpuMs(idler) - idlerCpu;
    const double share = idlerUsed / wall;
    return {Format("CPU while idle, between ticks (%.1f s wall), ms", wall / 1000),
            Format("%.0f (%.2f%% of a core)", idlerUsed, 100 * share),
            Format("%.0f", probe::CpuMs(baseline) - baselineCpu),
            Format("no busy waiting (< %.0f%%): %s", 100 * kBusyShare,
                   Verdict(share < kBusyShare).c_str())};
}

// ---- the bounded wait ------------------------------------------------------------

// IMs Off with no client: InstantMessage waits for an IM window that never
// comes, until its bound. CPU of idler and of the idle baseline over the same
// wall time. Then a client with an IM window already open is started: had the
// wait not ended, idler would fill that window in and send the IM.
Row ImWaitRow(const probe::Watched& idler, HWND form, const probe::Watched& baseline) {
    if (!driver::ChooseMenu(form, driver::menu::kImsOff)) Fail("the pop-up menu did not open");
    if (!driver::WaitFor([] { return driver::OpenMenu() == nullptr; }, 5000))
        Fail("the pop-up menu did not close");
    const double idlerCpu = probe::CpuMs(idler);
    const double baselineCpu = probe::CpuMs(baseline);
    const double start = NowMs();
    Sleep(kImWaitWindowMs);
    const double wall = NowMs() - start;
    const double idlerUsed = probe::CpuMs(idler) - idlerCpu;
    const double baselineUsed = probe::CpuMs(baseline) - baselineCpu;
    auto late = standin_harness::Start(L"--rooms=1 --im-open");
    if (!late) Fail("standin.exe did not start");
    const bool ended = !late->WaitFor(standin_log::Named("im"), 1500ms);
    const double share = idlerUsed / wall;
    return {Format("CPU over IMs Off with no client running (%.1f s wall), ms", wall / 1000),
            Format("%.0f (%.2f%% of a core; wait %s)", idlerUsed, 100 * share,
                   ended ? "ended by then" : "**still running**"),
            Format("%.0f", baselineUsed),
            Format("no busy waiting (< %.0f%%): %s", 100 * kBusyShare,
                   Verdict(share < kBusyShare && ended).c_str())};
}

// ---- memory -------------------------------------------------------------------

std::vector<Row> MemoryRows(const probe::Watched& idler, const probe::Watched& baseline) {
    const auto a = probe::MemoryOf(idler), b = probe::MemoryOf(baseline);
    if (!a || !b) Fail("GetProcessMemoryInfo failed");
    const auto row = [](const char* what, SIZE_T mine, SIZE_T theirs) {
        const double ratio = static_cast<double>(mine) / static_cast<double>(theirs);
        return Row{what, Format("%zu (%.2fx)", mine / 1024, ratio), Format("%zu", theirs / 1024),
                   Format("<= %.1fx baseline: %s", kMemoryTargetRatio,
                          Verdict(ratio <= kMemoryTargetRatio).c_str())};
    };
    return {row("Peak working set, KiB", a->peakWorkingSet, b->peakWorkingSet),
            row("Peak private bytes (PeakPagefileUsage), KiB", a->peakPrivateBytes,
                b->peakPrivateBytes)};
}

int SilentTicksFrom(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strncmp(argv[i], "--ticks=", 8) == 0) return std::max(1, std::atoi(argv[i] + 8));
    }
    return 1000;
}

// The whole run, in the order of the table.
int Run(int silentTicks) {
    std::vector<Row> rows{SizeRow()};
    for (Row& r : StartupRows()) rows.push_back(std::move(r));

    // One idler for the rest, beside one baseline that runs just as long.
    const probe::Watched baseline = probe::Start(L"baseline.exe");
    auto client = standin_harness::Start(L"--rooms=1");
    if (!baseline.process.handle() || !client) Fail("baseline.exe or standin.exe did not start");
    const probe::Watched idler = probe::Start(L"idler.exe");
    const HWND form = driver::FindIdler(idler.process.pid(), kStartLimitMs);
    if (!form || !WaitChatLines(*client, 2)) Fail("idler did not come up");
    if (probe::CpuMs(idler) < 0 || probe::CpuMs(baseline) < 0)
        Fail("no CPU time for idler or the baseline");
    driver::TypeText(driver::Text4(form), L"out to lunch, back at two");
    driver::TypeText(driver::Text3(form), L"http://www.example.com/lunch");
    driver::TypeText(driver::Text2(form), L"the menu");
    driver::Click(form, kStartX, kStartY);

    SwitchSilent(form, *client, 1);
    rows.push_back(SilentTickRow(idler, form, silentTicks));
    rows.push_back(ReadsAloneRow(idler, form, silentTicks));
    SwitchSilent(form, *client, 0);
    rows.push_back(PostingTickRow(idler, form, *client, false));
    rows.push_back(PostingTickRow(idler, form, *client, true));
    driver::Click(form, kStartX, kStartY); // Stop: no tick of its own from here on
    rows.push_back(IdleRow(idler, baseline));

    client.reset(); // the client quits
    rows.push_back(ImWaitRow(idler, form, baseline));
    for (Row& r : MemoryRows(idler, baseline)) rows.push_back(std::move(r));

    PrintTable(rows);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    try {
        return Run(SilentTicksFrom(argc, argv));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "bench: %s\n", e.what());
        return 1;
    }
}
