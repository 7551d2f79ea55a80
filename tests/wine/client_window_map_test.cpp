// FindChatRoom and GetCaption against the stand-in client and against windows
// built here.
#include "client/aolkit_client.h"
#include "tests/wine/client_test_windows.h"
#include "tests/wine/standin_harness.h"
#include <gtest/gtest.h>

using standin_log::Named;

namespace {

HWND MdiArea() {
    return FindWindowExA(FindWindowA("AOL Frame25", nullptr), nullptr, "MDIClient", nullptr);
}

HWND Document(const char* caption) {
    return FindWindowExA(MdiArea(), nullptr, "AOL Child", caption);
}

} // namespace

TEST(ClientFindChatRoom, TheFrontMostOfTwoRoomsWinsAndFollowsActivation) {
    auto client = standin_harness::Start(L"--rooms=2");
    ASSERT_TRUE(client);
    // The later room opens in front.
    EXPECT_EQ(AolKit::GetCaption(AolKit::FindChatRoom()), L"Lobby 2");
    SendMessageA(MdiArea(), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(Document("Lobby 1")), 0);
    EXPECT_EQ(AolKit::FindChatRoom(), Document("Lobby 1"));
    AolKit::ChatSend(L"to the front room");
    const auto chat = client->WaitFor(Named("chat"));
    ASSERT_TRUE(chat);
    EXPECT_EQ(chat->Get("room"), "Lobby 1");
}

TEST(ClientFindChatRoom, PassesOverEveryDecoyInFrontOfTheRoom) {
    // In front of the room: a window missing each class in turn, and one with
    // all of them only as grandchildren.
    auto client = standin_harness::Start(L"--rooms=1 --decoys=all");
    ASSERT_TRUE(client);
    ASSERT_TRUE(Document("Decoy with grandchildren"));
    EXPECT_EQ(AolKit::FindChatRoom(), Document("Lobby 1"));
    AolKit::ChatSend(L"past the decoys");
    const auto events = client->Events();
    ASSERT_EQ(standin_log::Count(events, Named("settext")), 1u);
    EXPECT_EQ(standin_log::Count(events, Named("settext", "target", "Lobby 1/RICHCNTL#2")), 1u);
    EXPECT_EQ(standin_log::Count(events, Named("chat", "room", "Lobby 1")), 1u);
}

TEST(ClientFindChatRoom, NoRoomGivesNullAndChatSendReachesNoWindow) {
    auto client = standin_harness::Start(L"--rooms=0 --decoys=all");
    ASSERT_TRUE(client);
    EXPECT_EQ(AolKit::FindChatRoom(), nullptr);
    AolKit::ChatSend(L"nobody hears this");
    // ChatSend's messages are sent synchronously: had any arrived, its event
    // would be logged by now.
    for (const auto& event : client->Events()) {
        EXPECT_NE(event.Name(), "settext");
        EXPECT_NE(event.Name(), "char");
        EXPECT_NE(event.Name(), "chat");
    }
}

TEST(ClientFindChatRoom, NoClientGivesNullAndTopLevelLookAlikesGetNothing) {
    ASSERT_EQ(FindWindowA("AOL Frame25", nullptr), nullptr);
    // Top-level windows of the input box's class: a lookup under a missing
    // room must not fall back to searching the top level.
    auto first = client_test::MakeWindow("RICHCNTL", "one");
    auto second = client_test::MakeWindow("RICHCNTL", "two");
    auto document = client_test::MakeWindow("AOL Child", "top-level document");
    ASSERT_TRUE(first->hwnd && second->hwnd && document->hwnd);
    EXPECT_EQ(AolKit::FindChatRoom(), nullptr);
    AolKit::ChatSend(L"into the void");
    EXPECT_TRUE(first->messages.empty());
    EXPECT_TRUE(second->messages.empty());
}

TEST(ClientGetCaption, NullAndGoneWindowsGiveEmptyText) {
    EXPECT_EQ(AolKit::GetCaption(nullptr), L"");
    HWND gone = client_test::MakeWindow("IdlerTestGone", "about to go")->hwnd;
    ASSERT_FALSE(IsWindow(gone));
    EXPECT_EQ(AolKit::GetCaption(gone), L"");
    auto blank = client_test::MakeWindow("IdlerTestBlank", "");
    EXPECT_EQ(AolKit::GetCaption(blank->hwnd), L"");
}

TEST(ClientGetCaption, LongCaptionsComeBackWholeFromBothProcesses) {
    std::string bytes = "Welcome, Bj\xF8rn ";
    for (int i = 0; bytes.size() < 600; ++i) bytes += static_cast<char>('a' + i % 26);
    bytes += "\x95!";
    std::wstring expected = FromAnsi(bytes);
    ASSERT_EQ(expected.size(), bytes.size());

    auto local = client_test::MakeWindow("IdlerTestLong", bytes.c_str());
    EXPECT_EQ(AolKit::GetCaption(local->hwnd), expected);

    auto client = standin_harness::Start(L"\"--welcome=" + expected + L"\"");
    ASSERT_TRUE(client);
    const auto opened = client->WaitFor(Named("opened", "class", "AOL Child"));
    ASSERT_TRUE(opened);
    EXPECT_EQ(AolKit::GetCaption(standin_harness::WindowOf(*opened)), expected);
}

namespace {

// A window whose caption changes while it is read: WM_GETTEXTLENGTH answers
// `reported`, the text it then gives is `actual`.
struct Shifty {
    int reported;
    std::string actual;
};

LRESULT CALLBACK ShiftyProc(HWND w, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* shifty = reinterpret_cast<Shifty*>(GetWindowLongPtrA(w, GWLP_USERDATA));
    if (shifty && message == WM_GETTEXTLENGTH) {
        const int reported = shifty->reported;
        shifty->reported = static_cast<int>(shifty->actual.size());
        return reported;
    }
    if (shifty && message == WM_GETTEXT) {
        const size_t n = std::min<size_t>(wParam - 1, shifty->actual.size());
        memcpy(reinterpret_cast<char*>(lParam), shifty->actual.data(), n);
        reinterpret_cast<char*>(lParam)[n] = '\0';
        return static_cast<LRESULT>(n);
    }
    return DefWindowProcA(w, message, wParam, lParam);
}

std::wstring CaptionOf(Shifty shifty) {
    WNDCLASSA wc{};
    wc.lpfnWndProc = ShiftyProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "IdlerTestShifty";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                             wc.hInstance, nullptr);
    SetWindowLongPtrA(w, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&shifty));
    const std::wstring caption = AolKit::GetCaption(w);
    DestroyWindow(w);
    return caption;
}

} // namespace

TEST(ClientGetCaption, StaysWholeAndCleanWhenTheCaptionChangesWhileRead) {
    // Shrunk after its length was read: no trailing zeros.
    EXPECT_EQ(CaptionOf({40, "Lobby 1"}), L"Lobby 1");
    // Grown after its length was read: read again, not cut.
    EXPECT_EQ(CaptionOf({3, "Send Instant Message"}), L"Send Instant Message");
}
