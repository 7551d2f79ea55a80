#pragma once
// Looking at another program from outside, for the benchmarks and the soak:
// CPU time, memory, open handles and GUI objects.
//
// Under Wine (8.0) several of the documented calls do not answer for another
// process: GetProcessTimes gives the caller's own times, GetProcessHandleCount
// gives 0, GetGuiResources is not implemented. Each measure here then takes
// the nearest thing Wine does keep: the Linux process's CPU time in /proc, its
// handles copied one by one, Wine's GDI handle table. Off Wine the documented
// calls are used.
#include "tests/e2e/driver.h"
#include <windows.h>
#include <optional>
#include <string>

namespace probe {

// A program started to be measured; under Wine, also its Linux process.
struct Watched {
    driver::Process process;
    int linuxPid = 0; // 0 off Wine, or when it could not be told apart
};

// Starts a program beside this one (as driver::Start) and finds its Linux
// process once it runs.
Watched Start(const std::wstring& exeName, const std::wstring& arguments = L"");

// User and kernel CPU time the program has used so far, in milliseconds; -1
// when it cannot be had.
double CpuMs(const Watched& w);

struct Memory {
    SIZE_T workingSet = 0, peakWorkingSet = 0;
    SIZE_T privateBytes = 0, peakPrivateBytes = 0; // PagefileUsage and its peak
};
std::optional<Memory> MemoryOf(const Watched& w);

std::optional<DWORD> HandleCount(const Watched& w);

// GDI objects: GetGuiResources(GR_GDIOBJECTS), or under Wine the live entries
// of the process's GDI handle table.
std::optional<DWORD> GdiObjects(const Watched& w);

// USER objects: GetGuiResources(GR_USEROBJECTS), or under Wine the windows
// (top-level and their descendants) the process owns.
std::optional<DWORD> UserObjects(const Watched& w);

bool UnderWine();

} // namespace probe
