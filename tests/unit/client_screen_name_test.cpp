// The screen name read from a Welcome window's caption.
#include "client/screen_name.h"
#include <gtest/gtest.h>

using screen_name::FromWelcomeCaption;

TEST(ClientScreenName, TheNameEndsAtTheFirstExclamationMark) {
    EXPECT_EQ(FromWelcomeCaption(L"Welcome, Idle Tester!"), L"Idle Tester");
    EXPECT_EQ(FromWelcomeCaption(L"Welcome, Bob!  You have mail!"), L"Bob");
    // Nothing is trimmed.
    EXPECT_EQ(FromWelcomeCaption(L"Welcome,  Sp ace !"), L" Sp ace ");
    EXPECT_EQ(FromWelcomeCaption(L"Welcome, Bj\u00F8rn\u2022!"), L"Bj\u00F8rn\u2022");
}

TEST(ClientScreenName, EmptyAndMissingNames) {
    EXPECT_EQ(FromWelcomeCaption(L"Welcome, !"), L"");
    EXPECT_EQ(FromWelcomeCaption(L"Welcome, "), L"");
    // Without "!", the rest of the caption.
    EXPECT_EQ(FromWelcomeCaption(L"Welcome, Nobang"), L"Nobang");
}

TEST(ClientScreenName, OnlyACaptionThatBeginsWithTheExactWordsCounts) {
    for (const wchar_t* other :
         {L"welcome, bob!", L"WELCOME, BOB!", L"Welcome,bob!", L"Welcome bob!", L" Welcome, bob!",
          L"Lobby - Welcome, bob!", L"Welcome,", L""}) {
        EXPECT_EQ(FromWelcomeCaption(other), std::nullopt) << other;
    }
}
