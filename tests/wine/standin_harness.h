#pragma once
// Starting the stand-in client for a test: standin.exe from beside the running
// test, with a log of its own, ready (its window tree built) when Start
// returns; closed, and its log deleted, when the handle goes.
//
//   auto client = standin_harness::Start(L"--rooms=2 --decoys=all");
//   ASSERT_TRUE(client);
//   AolKit::ChatSend(L"hi");
//   auto chat = client->WaitFor(standin_log::Named("chat"));
#include "standin/log_reader.h"
#include <windows.h>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace standin_harness {

struct Standin {
    PROCESS_INFORMATION process{};
    std::filesystem::path log;
    HWND frame{}; // from the "ready" event

    Standin() = default;
    Standin(const Standin&) = delete;
    Standin& operator=(const Standin&) = delete;
    ~Standin();

    std::vector<standin_log::Event> Events() const { return standin_log::ReadEvents(log); }
    // The count-th event that matches, waiting up to timeout for it.
    std::optional<standin_log::Event>
    WaitFor(const standin_log::Match& match,
            std::chrono::milliseconds timeout = std::chrono::seconds(10), size_t count = 1) const {
        return standin_log::WaitForEvent(log, match, timeout, count);
    }
    // Whether the process has ended, waiting up to timeoutMs for it.
    bool Exited(DWORD timeoutMs = 0) const;
    DWORD ExitCode() const;
};

// Starts standin.exe with these options (a --log is added); null when it did
// not start or did not get ready within the bound. With waitReady false it
// returns as soon as the process runs (for options that make it fail).
std::unique_ptr<Standin> Start(const std::wstring& options, bool waitReady = true);

// The window a log event names by its handle ("hwnd", "frame").
HWND WindowOf(const standin_log::Event& event, const char* key = "hwnd");

} // namespace standin_harness
