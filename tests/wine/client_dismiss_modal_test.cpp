// DismissModal against the stand-in's idle prompt and windows built here.
#include "client/aolkit_client.h"
#include "tests/wine/client_test_windows.h"
#include "tests/wine/standin_harness.h"
#include <gtest/gtest.h>

using standin_log::Named;
using namespace std::chrono_literals;

namespace {

const auto kPromptOpened = Named("opened", "class", "_AOL_Modal");

BOOL CALLBACK CollectPrompt(HWND w, LPARAM data) {
    char cls[32];
    if (GetClassNameA(w, cls, sizeof cls) && strcmp(cls, "_AOL_Modal") == 0) {
        reinterpret_cast<std::vector<HWND>*>(data)->push_back(w);
    }
    return TRUE;
}

// The top-level "_AOL_Modal" windows, front to back, as EnumWindows sees them.
std::vector<HWND> Prompts() {
    std::vector<HWND> found;
    EnumWindows(CollectPrompt, reinterpret_cast<LPARAM>(&found));
    return found;
}

} // namespace

TEST(ClientDismissModal, WithoutAPromptNothingIsClicked) {
    auto client = standin_harness::Start(L"");
    ASSERT_TRUE(client);
    // A top-level icon: the lookup under a missing prompt must not find it.
    auto icon = client_test::MakeWindow("_AOL_Icon", "stray icon");
    AolKit::DismissModal();
    EXPECT_TRUE(icon->messages.empty());
    EXPECT_EQ(standin_log::Count(client->Events(), Named("click")), 0u);
}

TEST(ClientDismissModal, OfTwoPromptsOnlyTheFrontMostIsAnswered) {
    auto client = standin_harness::Start(L"--idle-after=0.2 --prompts=2 --signoff-after=60");
    ASSERT_TRUE(client);
    ASSERT_TRUE(client->WaitFor(kPromptOpened, 10s, 2));
    const std::vector<HWND> prompts = Prompts();
    ASSERT_EQ(prompts.size(), 2u);

    AolKit::DismissModal();
    auto answered = client->WaitFor(Named("prompt_answered"), 5s);
    ASSERT_TRUE(answered);
    EXPECT_EQ(standin_harness::WindowOf(*answered), prompts[0]);
    EXPECT_EQ(answered->Get("choice"), "stay");
    EXPECT_FALSE(IsWindow(prompts[0]));
    EXPECT_TRUE(IsWindow(prompts[1]));
    EXPECT_EQ(standin_log::Count(client->Events(), Named("prompt_answered")), 1u);

    // The next call answers the other one.
    AolKit::DismissModal();
    answered = client->WaitFor(Named("prompt_answered"), 5s, 2);
    ASSERT_TRUE(answered);
    EXPECT_EQ(standin_harness::WindowOf(*answered), prompts[1]);
}

TEST(ClientDismissModal, IconsThatAreGrandchildrenAreNotClicked) {
    auto client = standin_harness::Start(L"--idle-after=0.2 --prompt-decoy --signoff-after=60");
    ASSERT_TRUE(client);
    const auto opened = client->WaitFor(kPromptOpened, 10s);
    ASSERT_TRUE(opened);
    AolKit::DismissModal();
    EXPECT_EQ(standin_log::Count(client->Events(), Named("click")), 0u);
    EXPECT_TRUE(IsWindow(standin_harness::WindowOf(*opened)));
}

TEST(ClientDismissModal, AnsweredPromptKeepsTheUserOnUnansweredSignsOff) {
    // The prompt comes after 1 s without input; unanswered, sign-off 2 s later.
    auto client = standin_harness::Start(L"--idle-after=1 --signoff-after=2");
    ASSERT_TRUE(client);
    const auto first = client->WaitFor(kPromptOpened, 10s);
    ASSERT_TRUE(first);
    AolKit::DismissModal();
    ASSERT_TRUE(client->WaitFor(Named("prompt_answered"), 5s));
    EXPECT_FALSE(IsWindow(standin_harness::WindowOf(*first)));

    // The next prompt comes 1 s after the answer; left alone, it signs the
    // user off and the rooms close.
    const auto second = client->WaitFor(kPromptOpened, 10s, 2);
    ASSERT_TRUE(second);
    const auto signoff = client->WaitFor(Named("signoff"), 10s);
    ASSERT_TRUE(signoff);
    EXPECT_EQ(standin_log::Count(client->Events(), Named("signoff")), 1u);
    // On the stand-in's own clock: the sign-off is the second prompt's, so the
    // first prompt's time ran out (2 s after it opened) with the user still on.
    EXPECT_GE(signoff->Time() - second->Time(), 1.9);
    EXPECT_GE(signoff->Time() - first->Time(), 2.5);
    EXPECT_TRUE(client->WaitFor(Named("closed", "caption", "Lobby 1"), 5s));
    EXPECT_EQ(AolKit::FindChatRoom(), nullptr);
}
