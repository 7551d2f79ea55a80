// What a client that stops answering its messages does to the client
// routines: the synchronous sends wait for it, and nothing is lost.
#include "client/aolkit_client.h"
#include "tests/wine/standin_harness.h"
#include <gtest/gtest.h>
#include <cstdio>

using standin_log::Named;
using namespace std::chrono_literals;

namespace {

double Seconds() {
    LARGE_INTEGER now, frequency;
    QueryPerformanceCounter(&now);
    QueryPerformanceFrequency(&frequency);
    return double(now.QuadPart) / frequency.QuadPart;
}

} // namespace

TEST(ClientHungClient, ChatSendWaitsOutTheHangAndTheLineArrivesAfter) {
    constexpr double kHang = 3.0;
    auto client = standin_harness::Start(L"--hang-at=0.3 --hang-for=3");
    ASSERT_TRUE(client);
    const auto hang = client->WaitFor(Named("hang"), 10s);
    ASSERT_TRUE(hang);
    const double noticed = Seconds();

    // Finding the room needs nothing of the client's thread.
    HWND room = AolKit::FindChatRoom();
    const double found = Seconds();
    ASSERT_TRUE(room);
    AolKit::ChatSend(L"after the hang");
    const double sent = Seconds();

    const auto recover = client->WaitFor(Named("recover"), 10s);
    const auto chat = client->WaitFor(Named("chat"), 0ms);
    ASSERT_TRUE(recover);
    ASSERT_TRUE(chat) << "ChatSend returned before the client took the line";
    EXPECT_GE(chat->Time(), recover->Time());
    EXPECT_EQ(chat->Get("text"), "after the hang");
    EXPECT_LT(found - noticed, 0.5);
    // Blocked for the rest of the hang: most of it, never much more.
    EXPECT_GT(sent - found, kHang - 1.5);
    EXPECT_LT(sent - found, kHang + 1.0);
    std::printf("hung client (%.1f s): FindChatRoom %.1f ms, ChatSend blocked %.2f s, "
                "line logged %.3f s after recovery\n",
                kHang, (found - noticed) * 1000, sent - found, chat->Time() - recover->Time());
}

// Whether reading a caption waits for a hung client is the platform's affair
// (it may ask the window); the caption must come back whole either way.
TEST(ClientHungClient, GetCaptionComesBackWholeWhileTheClientHangs) {
    auto client = standin_harness::Start(L"--hang-at=0.3 --hang-for=2");
    ASSERT_TRUE(client);
    HWND room = AolKit::FindChatRoom();
    ASSERT_TRUE(client->WaitFor(Named("hang"), 10s));
    const double start = Seconds();
    EXPECT_EQ(AolKit::GetCaption(room), L"Lobby 1");
    std::printf("hung client (2 s): GetCaption took %.2f s\n", Seconds() - start);
}
