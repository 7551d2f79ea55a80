#include "tests/bench/probe.h"
#include <psapi.h>
#include <cstdlib>
#include <vector>

namespace probe {
namespace {

FARPROC NtdllFunction(const char* name) {
    return GetProcAddress(GetModuleHandleW(L"ntdll.dll"), name);
}

// ---- the Linux side of a Wine program ------------------------------------------
// Wine shows the Linux root as drive Z:, /proc included.

std::string ReadWholeFile(const std::wstring& path) {
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    std::string text;
    char buffer[4096];
    DWORD got = 0;
    // /proc files report no size: read until nothing comes.
    while (ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        text.append(buffer, got);
    CloseHandle(file);
    return text;
}

std::wstring ProcPath(const std::wstring& pid, const wchar_t* leaf) {
    return L"Z:\\proc\\" + pid + L"\\" + leaf;
}

// Linux counts process start and CPU in ticks of 1/100 s (USER_HZ on x86).
constexpr double kLinuxTicksPerSecond = 100;

double UptimeSeconds() {
    return std::atof(ReadWholeFile(L"Z:\\proc\\uptime").c_str());
}

// The fields of /proc/PID/stat after the name in parentheses (which may hold
// blanks); field 3 (state) is the first.
std::vector<std::string> StatFields(const std::wstring& pid) {
    const std::string stat = ReadWholeFile(ProcPath(pid, L"stat"));
    std::vector<std::string> fields;
    const size_t close = stat.rfind(')');
    if (close == std::string::npos) return fields;
    size_t at = close + 2;
    while (at < stat.size()) {
        const size_t end = stat.find(' ', at);
        fields.push_back(stat.substr(at, end == std::string::npos ? end : end - at));
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return fields;
}

// Seconds after boot at which the process started (stat field 22).
double StartedAt(const std::wstring& pid) {
    const std::vector<std::string> f = StatFields(pid);
    return f.size() > 19 ? std::atof(f[19].c_str()) / kLinuxTicksPerSecond : -1;
}

// The "WINEPREFIX=..." entry of a process's Linux environment.
std::string PrefixEntry(const std::wstring& pid) {
    const std::string variables = ReadWholeFile(ProcPath(pid, L"environ"));
    for (size_t at = 0; at < variables.size();) {
        const size_t end = variables.find('\0', at);
        const std::string entry = variables.substr(at, end == std::string::npos ? end : end - at);
        if (entry.rfind("WINEPREFIX=", 0) == 0) return entry;
        if (end == std::string::npos) break;
        at = end + 1;
    }
    return {};
}

std::string Narrow(const std::wstring& ascii) {
    return std::string(ascii.begin(), ascii.end());
}

// The Linux process of a Wine program: named after its executable (Linux
// keeps 15 characters of a name), in our Wine prefix, started between two
// moments. 0 unless exactly one fits.
int FindLinuxPid(const std::wstring& exeName, double after, double before) {
    const std::string name = Narrow(exeName).substr(0, 15) + "\n";
    const std::string prefix = PrefixEntry(L"self");
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW(L"Z:\\proc\\*", &entry);
    if (search == INVALID_HANDLE_VALUE) return 0;
    int found = 0, matches = 0;
    do {
        const std::wstring pid = entry.cFileName;
        if (pid.empty() || pid.find_first_not_of(L"0123456789") != std::wstring::npos) continue;
        if (ReadWholeFile(ProcPath(pid, L"comm")) != name) continue;
        const double started = StartedAt(pid);
        if (started < after || started > before || PrefixEntry(pid) != prefix) continue;
        found = std::atoi(Narrow(pid).c_str());
        ++matches;
    } while (FindNextFileW(search, &entry));
    FindClose(search);
    return matches == 1 ? found : 0;
}

// CPU time of every thread, from the scheduler's own account in ms
// (se.sum_exec_runtime of /proc/PID/task/TID/sched); where the kernel keeps
// none, user and system ticks of /proc/PID/stat (1/100 s).
double LinuxCpuMs(int linuxPid) {
    const std::wstring pid = std::to_wstring(linuxPid);
    double sum = 0;
    bool any = false;
    WIN32_FIND_DATAW entry;
    HANDLE search = FindFirstFileW((L"Z:\\proc\\" + pid + L"\\task\\*").c_str(), &entry);
    if (search != INVALID_HANDLE_VALUE) {
        do {
            if (entry.cFileName[0] == L'.') continue;
            const std::string sched =
                ReadWholeFile(L"Z:\\proc\\" + pid + L"\\task\\" + entry.cFileName + L"\\sched");
            const size_t key = sched.find("se.sum_exec_runtime");
            const size_t colon = key == std::string::npos ? key : sched.find(':', key);
            if (colon == std::string::npos) continue;
            sum += std::atof(sched.c_str() + colon + 1);
            any = true;
        } while (FindNextFileW(search, &entry));
        FindClose(search);
    }
    if (any) return sum;
    const std::vector<std::string> f = StatFields(pid);
    if (f.size() < 13) return -1;
    return (std::atof(f[11].c_str()) + std::atof(f[12].c_str())) * 1000 / kLinuxTicksPerSecond;
}

// ---- Wine's GDI handle table -------------------------------------------------------

// Wine's entry of the table (include/ntgdi.h there): 24 bytes in 32- and
// 64-bit processes alike; a free entry has type 0.
#pragma pack(push, 1)
struct WineGdiEntry {
    unsigned long long object;
    ULONG owner;
    USHORT unique;
    UCHAR type;
    UCHAR flags;
    unsigned long long userPointer;
};
#pragma pack(pop)
static_assert(sizeof(WineGdiEntry) == 24);
constexpr size_t kWineGdiEntries = 0x10000;

// A 32-bit process under 64-bit Wine has a 64-bit TEB and PEB beside its own
// (the 32-bit TEB's GdiBatchCount holds the TEB64's address), and Wine puts
// the table's address in the 64-bit PEB only.
constexpr size_t kTeb32Peb = 0x30, kTeb32GdiBatchCount = 0xF70;
constexpr size_t kTeb64Peb = 0x60, kPeb64GdiTable = 0xF8;

using QueryInformation = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);

char* PebOf(HANDLE process) {
    auto query = reinterpret_cast<QueryInformation>(
        reinterpret_cast<void*>(NtdllFunction("NtQueryInformationProcess")));
    struct { // PROCESS_BASIC_INFORMATION
        LONG exitStatus;
        char* pebBaseAddress;
        ULONG_PTR affinityMask;
        LONG basePriority;
        ULONG_PTR uniqueProcessId, inheritedFromUniqueProcessId;
    } info{};
    if (!query || query(process, 0 /* ProcessBasicInformation */, &info, sizeof info, nullptr))
        return nullptr;
    return info.pebBaseAddress;
}

// Our thread's TEB (NtCurrentTeb's inline read of fs trips GCC's bounds check).
char* OwnTeb() {
    auto query = reinterpret_cast<QueryInformation>(
        reinterpret_cast<void*>(NtdllFunction("NtQueryInformationThread")));
    struct { // THREAD_BASIC_INFORMATION
        LONG exitStatus;
        char* tebBaseAddress;
        ULONG_PTR clientId[2];
        ULONG_PTR affinityMask;
        LONG priority, basePriority;
    } info{};
    if (!query ||
        query(GetCurrentThread(), 0 /* ThreadBasicInformation */, &info, sizeof info, nullptr))
        return nullptr;
    return info.tebBaseAddress;
}

// Where the 64-bit PEB lies from the 32-bit one: the same in every process of
// one Wine, so it is taken from our own.
std::optional<ptrdiff_t> Peb64Offset() {
#ifdef _WIN64
    return 0; // a 64-bit process has only the 64-bit PEB
#endif
    char* teb = OwnTeb();
    if (!teb) return std::nullopt;
    char* peb = *reinterpret_cast<char**>(teb + kTeb32Peb);
    const auto teb64 = *reinterpret_cast<ULONG_PTR*>(teb + kTeb32GdiBatchCount);
    if (!teb64) return std::nullopt;
    const auto peb64 = *reinterpret_cast<unsigned long long*>(teb64 + kTeb64Peb);
    return static_cast<ptrdiff_t>(peb64) - reinterpret_cast<ptrdiff_t>(peb);
}

template <typename T> bool Read(HANDLE process, ULONG_PTR address, T* out, size_t count = 1) {
    SIZE_T got = 0;
    return ReadProcessMemory(process, reinterpret_cast<void*>(address), out, sizeof(T) * count,
                             &got) &&
           got == sizeof(T) * count;
}

std::optional<DWORD> WineGdiObjects(HANDLE process) {
    const auto offset = Peb64Offset();
    char* peb = PebOf(process);
    if (!offset || !peb) return std::nullopt;
    unsigned long long table = 0;
    if (!Read(process, reinterpret_cast<ULONG_PTR>(peb) + *offset + kPeb64GdiTable, &table) ||
        !table || table > ~ULONG_PTR{0})
        return std::nullopt;
    std::vector<WineGdiEntry> entries(kWineGdiEntries);
    if (!Read(process, static_cast<ULONG_PTR>(table), entries.data(), entries.size()))
        return std::nullopt;
    DWORD live = 0;
    for (const WineGdiEntry& e : entries) live += e.type != 0 ? 1 : 0;
    return live;
}

// ---- handles and windows ---------------------------------------------------------------

// Wine 8.0's server dies when asked for the system's handle list while any
// process has an empty handle table (as each has while it starts or ends):
// it reads past the table's end. So the handles are counted one by one: a
// value the process holds can be copied into this one. Wine gives out the
// lowest free value first, from 4.
DWORD HandlesByCopying(HANDLE process) {
    constexpr ULONG_PTR kValues = 4096;
    DWORD held = 0;
    for (ULONG_PTR value = 4; value <= kValues * 4; value += 4) {
        HANDLE copy = nullptr;
        if (!DuplicateHandle(process, reinterpret_cast<HANDLE>(value), GetCurrentProcess(), &copy,
                             0, FALSE, DUPLICATE_SAME_ACCESS))
            continue;
        ++held;
        CloseHandle(copy);
    }
    return held;
}

struct Enumeration {
    DWORD pid;
    DWORD count;
};

BOOL CALLBACK CountChild(HWND, LPARAM data) {
    ++reinterpret_cast<Enumeration*>(data)->count;
    return TRUE;
}

BOOL CALLBACK CountTop(HWND hwnd, LPARAM data) {
    auto* e = reinterpret_cast<Enumeration*>(data);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (pid == e->pid) {
        ++e->count;
        EnumChildWindows(hwnd, CountChild, data); // every descendant
    }
    return TRUE;
}

double FileTimeMs(FILETIME t) {
    ULARGE_INTEGER v;
    v.LowPart = t.dwLowDateTime;
    v.HighPart = t.dwHighDateTime;
    return static_cast<double>(v.QuadPart) / 10000.0; // 100 ns units
}

// GetGuiResources' count; nullopt for 0, which a process with a window never
// has (Wine answers 0 for everything).
std::optional<DWORD> GuiResources(HANDLE process, DWORD which) {
    const DWORD count = GetGuiResources(process, which);
    if (count == 0) return std::nullopt;
    return count;
}

} // namespace

bool UnderWine() {
    return NtdllFunction("wine_get_version") != nullptr;
}

Watched Start(const std::wstring& exeName, const std::wstring& arguments) {
    Watched w;
    const bool wine = UnderWine();
    const double before = wine ? UptimeSeconds() : 0;
    w.process = driver::Start(exeName, arguments);
    if (!wine || !w.process.handle()) return w;
    // Once it waits for input it has long been a Linux process of its own name.
    WaitForInputIdle(w.process.handle(), 10000);
    // A start is stamped in whole ticks: allow one either side.
    const double slack = 1 / kLinuxTicksPerSecond;
    driver::WaitFor(
        [&] {
            w.linuxPid = FindLinuxPid(exeName, before - slack, UptimeSeconds() + slack);
            return w.linuxPid != 0;
        },
        5000);
    return w;
}

double CpuMs(const Watched& w) {
    if (w.linuxPid) return LinuxCpuMs(w.linuxPid);
    if (UnderWine()) return -1; // GetProcessTimes would give our own
    FILETIME created, exited, kernel, user;
    if (!GetProcessTimes(w.process.handle(), &created, &exited, &kernel, &user)) return -1;
    return FileTimeMs(kernel) + FileTimeMs(user);
}

std::optional<Memory> MemoryOf(const Watched& w) {
    PROCESS_MEMORY_COUNTERS c{};
    c.cb = sizeof c;
    if (!GetProcessMemoryInfo(w.process.handle(), &c, sizeof c)) return std::nullopt;
    return Memory{c.WorkingSetSize, c.PeakWorkingSetSize, c.PagefileUsage, c.PeakPagefileUsage};
}

std::optional<DWORD> HandleCount(const Watched& w) {
    DWORD count = 0;
    // Wine answers 0 for every process; a live process always holds some.
    if (GetProcessHandleCount(w.process.handle(), &count) && count > 0) return count;
    return HandlesByCopying(w.process.handle());
}

std::optional<DWORD> GdiObjects(const Watched& w) {
    if (auto n = GuiResources(w.process.handle(), GR_GDIOBJECTS)) return n;
    if (UnderWine()) return WineGdiObjects(w.process.handle());
    return std::nullopt;
}

std::optional<DWORD> UserObjects(const Watched& w) {
    if (auto n = GuiResources(w.process.handle(), GR_USEROBJECTS)) return n;
    if (!UnderWine()) return std::nullopt;
    Enumeration e{w.process.pid(), 0};
    EnumWindows(CountTop, reinterpret_cast<LPARAM>(&e));
    return e.count;
}

} // namespace probe
