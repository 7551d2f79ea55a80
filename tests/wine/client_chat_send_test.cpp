// ChatSend against the stand-in client: what reaches the room, byte for byte.
#include "client/aolkit_client.h"
#include "tests/wine/standin_harness.h"
#include <gtest/gtest.h>

using standin_log::Named;

namespace {

constexpr const char* kInputBox = "Lobby 1/RICHCNTL#2";

HWND InputBox() {
    HWND room = AolKit::FindChatRoom();
    return FindWindowExA(room, FindWindowExA(room, nullptr, "RICHCNTL", nullptr), "RICHCNTL",
                         nullptr);
}

} // namespace

TEST(ClientChatSend, LinesArriveByteExactAndInOrder) {
    auto client = standin_harness::Start(L"");
    ASSERT_TRUE(client);
    const std::wstring announcement = L"<font color=\"#000080\"><font face=\"arial narrow\">"
                                      L"></b>\u2022[\u203Avex\u2039] \u00B7 Instant Messages "
                                      L"\u00B7 \u00F8ff \u00E5";
    AolKit::ChatSend(announcement);
    AolKit::ChatSend(L"second & <last>");
    ASSERT_TRUE(client->WaitFor(Named("chat"), std::chrono::seconds(5), 2));
    const auto lines = standin_log::ChatBytes(client->Events());
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "<font color=\"#000080\"><font face=\"arial narrow\">"
                        "></b>\x95[\x9Bvex\x8B] \xB7 Instant Messages \xB7 \xF8"
                        "ff \xE5");
    EXPECT_EQ(lines[1], "second & <last>");
    // The decoded copy in the log agrees with the bytes.
    const auto chat = client->WaitFor(Named("chat"));
    EXPECT_EQ(chat->Get("text"), "<font color=\"#000080\"><font face=\"arial narrow\">"
                                 "></b>\u2022[\u203Avex\u2039] \u00B7 Instant Messages "
                                 "\u00B7 \u00F8ff \u00E5");
    EXPECT_EQ(chat->Get("room"), "Lobby 1");
}

TEST(ClientChatSend, TextTypedButNotSentIsReplaced) {
    auto client = standin_harness::Start(L"");
    ASSERT_TRUE(client);
    HWND input = InputBox();
    ASSERT_TRUE(input);
    for (char c : std::string("half a thought")) SendMessageA(input, WM_CHAR, c, 0);
    AolKit::ChatSend(L"the line");
    const auto chat = client->WaitFor(Named("chat"));
    ASSERT_TRUE(chat);
    EXPECT_EQ(chat->Get("text"), "the line");
    EXPECT_EQ(standin_log::Count(client->Events(), Named("chat")), 1u);
}

TEST(ClientChatSend, EmptyLineStillSendsTheCarriageReturn) {
    auto client = standin_harness::Start(L"");
    ASSERT_TRUE(client);
    AolKit::ChatSend(L"");
    const auto events = client->Events();
    const auto settext = Named("settext", "target", kInputBox);
    const auto enter = Named("char", "target", kInputBox);
    ASSERT_EQ(standin_log::Count(events, settext), 1u);
    ASSERT_EQ(standin_log::Count(events, enter), 1u);
    for (const auto& e : events) {
        if (settext(e)) {
            EXPECT_EQ(e.Get("hex"), "");
        }
        if (enter(e)) {
            EXPECT_EQ(e.Get("code"), "13");
        }
    }
}

TEST(ClientChatSend, RoomWithOneRichcntlReceivesNothing) {
    // The room passes the chat-room test but has no input box.
    auto client = standin_harness::Start(L"--rooms=0 --decoys=one-richcntl");
    ASSERT_TRUE(client);
    ASSERT_TRUE(AolKit::FindChatRoom());
    AolKit::ChatSend(L"lost");
    for (const auto& event : client->Events()) {
        EXPECT_NE(event.Name(), "settext");
        EXPECT_NE(event.Name(), "char");
    }
}
