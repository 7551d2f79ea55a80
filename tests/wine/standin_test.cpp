// The stand-in client's own behaviour that the client routines and the
// end-to-end tests rely on, driven here by hand through its windows.
#include "tests/wine/standin_harness.h"
#include <gtest/gtest.h>

using standin_log::Named;
using namespace std::chrono_literals;

namespace {

HWND Frame() {
    return FindWindowA("AOL Frame25", nullptr);
}
HWND MdiArea() {
    return FindWindowExA(Frame(), nullptr, "MDIClient", nullptr);
}

// The toolbar path to the keyword box.
HWND KeywordBox() {
    HWND w = Frame();
    for (const char* cls : {"AOL Toolbar", "_AOL_Toolbar", "_AOL_Combobox", "Edit"}) {
        w = w ? FindWindowExA(w, nullptr, cls, nullptr) : nullptr;
    }
    return w;
}

// Types a keyword as the client's users do: text, a space, Enter.
void TypeKeyword(const char* keyword) {
    HWND box = KeywordBox();
    SendMessageA(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(keyword));
    SendMessageA(box, WM_CHAR, 32, 0);
    SendMessageA(box, WM_CHAR, 13, 0);
}

std::vector<HWND> Children(HWND parent, const char* cls) {
    std::vector<HWND> found;
    for (HWND w = nullptr; (w = FindWindowExA(parent, w, cls, nullptr));) found.push_back(w);
    return found;
}

std::string TextOf(HWND window) {
    char text[256] = {};
    SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

void Click(HWND icon) {
    SendMessageA(icon, WM_LBUTTONDOWN, 0, 0);
    SendMessageA(icon, WM_LBUTTONUP, 0, 0);
}

HWND NinthIcon(HWND im) {
    const std::vector<HWND> icons = Children(im, "_AOL_Icon");
    return icons.size() >= 9 ? icons[8] : nullptr;
}

const auto kImOpened = Named("opened", "caption", "Send Instant Message");

// Opens an IM window to `to` through the keyword box and types `text` in it.
HWND OpenIm(const standin_harness::Standin& client, const char* to, const char* text) {
    const size_t before = standin_log::Count(client.Events(), kImOpened);
    TypeKeyword((std::string("aol://9293:") + to).c_str());
    const auto opened = client.WaitFor(kImOpened, 5s, before + 1);
    if (!opened) return nullptr;
    HWND im = standin_harness::WindowOf(*opened);
    SendMessageA(FindWindowExA(im, nullptr, "RICHCNTL", nullptr), WM_SETTEXT, 0,
                 reinterpret_cast<LPARAM>(text));
    return im;
}

} // namespace

TEST(StandinWindows, WelcomeCaptionCarriesTheScreenName) {
    auto client = standin_harness::Start(L"\"--name=Bj\u00F8rn Q\" --rooms=1");
    ASSERT_TRUE(client);
    EXPECT_EQ(client->WaitFor(Named("ready"))->Get("name"), "Bj\u00F8rn Q");
    EXPECT_TRUE(FindWindowExA(MdiArea(), nullptr, "AOL Child", "Welcome, Bj\xF8rn Q!"));
    // The room's direct children, in the window manager's order.
    HWND room = FindWindowExA(MdiArea(), nullptr, "AOL Child", "Lobby 1");
    std::vector<std::string> classes;
    for (HWND w = GetWindow(room, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT)) {
        char cls[32];
        GetClassNameA(w, cls, sizeof cls);
        classes.push_back(cls);
    }
    EXPECT_EQ(classes, (std::vector<std::string>{"RICHCNTL", "RICHCNTL", "_AOL_Listbox",
                                                 "_AOL_Icon", "_AOL_Static"}));
}

TEST(StandinWindows, KeywordOpensAnImWindowWhoseNinthIconSends) {
    auto client = standin_harness::Start(L"");
    ASSERT_TRUE(client);
    HWND im = OpenIm(*client, "Buddy Two", "hello \x95 there");
    ASSERT_TRUE(im);
    EXPECT_TRUE(client->WaitFor(Named("keyword", "text", "aol://9293:Buddy Two")));
    EXPECT_EQ(TextOf(FindWindowExA(im, nullptr, "_AOL_Edit", nullptr)), "Buddy Two");
    const std::vector<HWND> icons = Children(im, "_AOL_Icon");
    ASSERT_GE(icons.size(), 9u);
    EXPECT_EQ(TextOf(icons[8]), "Send");
    Click(icons[8]);
    const auto sent = client->WaitFor(Named("im"), 5s);
    ASSERT_TRUE(sent);
    EXPECT_EQ(sent->Get("to"), "Buddy Two");
    EXPECT_EQ(sent->Get("hex"), "68656c6c6f2095207468657265");
    EXPECT_EQ(sent->Get("text"), "hello \u2022 there");
    // An ordinary IM just goes: the window closes, no box.
    EXPECT_TRUE(client->WaitFor(Named("closed", "hwnd", std::to_string(UINT_PTR(im))), 5s));
    EXPECT_EQ(standin_log::Count(client->Events(), Named("opened", "class", "#32770")), 0u);
}

TEST(StandinWindows, ImOffAndOnAnswerWithTheAmericaOnlineBox) {
    auto client = standin_harness::Start(L"");
    ASSERT_TRUE(client);
    const char* names[] = {"$IM_OFF", "$IM_ON"};
    for (size_t round = 1; round <= 2; ++round) {
        const char* name = names[round - 1];
        SCOPED_TRACE(name);
        HWND im = OpenIm(*client, name, "Zorvik ownz!");
        ASSERT_TRUE(im);
        ASSERT_TRUE(NinthIcon(im));
        Click(NinthIcon(im));
        const auto ims = client->WaitFor(Named("ims"), 5s, round);
        ASSERT_TRUE(ims);
        EXPECT_EQ(ims->Get("on"), round == 1 ? "false" : "true");
        ASSERT_TRUE(client->WaitFor(Named("opened", "class", "#32770"), 5s, round));
        HWND box = FindWindowA("#32770", "America Online");
        ASSERT_TRUE(box);
        HWND button = FindWindowExA(box, nullptr, "Button", nullptr);
        ASSERT_TRUE(button);
        EXPECT_TRUE(IsWindow(im)); // the IM window waits to be closed
        // A posted space key press on the button answers the box.
        PostMessageA(button, WM_KEYDOWN, VK_SPACE, 0);
        PostMessageA(button, WM_KEYUP, VK_SPACE, 0);
        ASSERT_TRUE(client->WaitFor(Named("box_answered"), 5s, round));
        EXPECT_TRUE(client->WaitFor(Named("closed", "class", "#32770"), 5s, round));
        PostMessageA(im, WM_CLOSE, 0, 0);
        EXPECT_TRUE(client->WaitFor(Named("closed", "hwnd", std::to_string(UINT_PTR(im))), 5s));
    }
}

TEST(StandinWindows, ImWindowVariantsForLaterTests) {
    {
        SCOPED_TRACE("eight icons: no Send button");
        auto client = standin_harness::Start(L"--im-icons=8");
        ASSERT_TRUE(client);
        HWND im = OpenIm(*client, "Pal", "text");
        ASSERT_TRUE(im);
        const std::vector<HWND> icons = Children(im, "_AOL_Icon");
        ASSERT_EQ(icons.size(), 8u);
        for (HWND icon : icons) Click(icon);
        EXPECT_EQ(standin_log::Count(client->Events(), Named("im")), 0u);
    }
    {
        SCOPED_TRACE("no box: the switch just closes the IM window");
        auto client = standin_harness::Start(L"--no-box");
        ASSERT_TRUE(client);
        HWND im = OpenIm(*client, "$IM_OFF", "Zorvik ownz!");
        ASSERT_TRUE(im);
        ASSERT_TRUE(NinthIcon(im));
        Click(NinthIcon(im));
        EXPECT_TRUE(client->WaitFor(Named("ims", "on", "false"), 5s));
        EXPECT_TRUE(client->WaitFor(Named("closed", "hwnd", std::to_string(UINT_PTR(im))), 5s));
        EXPECT_EQ(standin_log::Count(client->Events(), Named("opened", "class", "#32770")), 0u);
    }
    {
        SCOPED_TRACE("delay, and an IM window open from the start");
        auto client = standin_harness::Start(L"--im-delay=1 --im-open=Pal");
        ASSERT_TRUE(client);
        HWND open = FindWindowExA(MdiArea(), nullptr, "AOL Child", "Send Instant Message");
        ASSERT_TRUE(open);
        EXPECT_EQ(TextOf(FindWindowExA(open, nullptr, "_AOL_Edit", nullptr)), "Pal");
        TypeKeyword("aol://9293:Later");
        const auto keyword = client->WaitFor(Named("keyword"), 5s);
        const auto opened = client->WaitFor(kImOpened, 5s, 2);
        ASSERT_TRUE(keyword && opened);
        EXPECT_GE(opened->Time() - keyword->Time(), 0.9);
    }
}

TEST(StandinWindows, HangsQuitsAndRefusesBadOptions) {
    auto hung = standin_harness::Start(L"--hang-at=0 --hang-for=1 --quit-after=1.5");
    ASSERT_TRUE(hung);
    const auto hang = hung->WaitFor(Named("hang"), 5s);
    const auto recover = hung->WaitFor(Named("recover"), 5s);
    ASSERT_TRUE(hang && recover);
    EXPECT_GE(recover->Time() - hang->Time(), 0.95);
    ASSERT_TRUE(hung->Exited(10000));
    EXPECT_EQ(hung->ExitCode(), 0u);
    EXPECT_TRUE(hung->WaitFor(Named("quit"), 0ms));

    auto refused = standin_harness::Start(L"--rooms=many", false);
    ASSERT_TRUE(refused);
    ASSERT_TRUE(refused->Exited(10000));
    EXPECT_EQ(refused->ExitCode(), 2u);
    EXPECT_TRUE(refused->Events().empty());
}
