// The window as a person meets it: idler.exe started, looked at and handled
// from outside with real mouse and keyboard input.
#include "tests/e2e/driver.h"
#include <gtest/gtest.h>

using namespace driver;

namespace {

POINT TopLeft(HWND form) {
    RECT r;
    GetWindowRect(form, &r);
    return {r.left, r.top};
}

HWND FocusOf(HWND form) {
    GUITHREADINFO info{};
    info.cbSize = sizeof info;
    GetGUIThreadInfo(GetWindowThreadProcessId(form, nullptr), &info);
    return info.hwndFocus;
}

class WindowE2E : public ::testing::Test {
  protected:
    void SetUp() override {
        idler = Start(L"idler.exe");
        ASSERT_NE(idler.handle(), nullptr);
        form = FindIdler(idler.pid());
        ASSERT_NE(form, nullptr);
    }
    Process idler;
    HWND form = nullptr;
};

TEST_F(WindowE2E, IsASmallTopmostPanelWithoutFrameMenuBarOrTaskbarButton) {
    RECT window, client;
    GetWindowRect(form, &window);
    GetClientRect(form, &client);
    EXPECT_EQ(window.right - window.left, 314);
    EXPECT_EQ(window.bottom - window.top, 118);
    EXPECT_EQ(client.right, 314) << "no frame: the client area is the whole window";
    EXPECT_EQ(client.bottom, 118);
    const LONG style = GetWindowLongW(form, GWL_STYLE), ex = GetWindowLongW(form, GWL_EXSTYLE);
    EXPECT_TRUE(ex & WS_EX_TOPMOST);
    EXPECT_EQ(style & WS_CAPTION, 0);
    EXPECT_EQ(style & (WS_BORDER | WS_THICKFRAME | WS_DLGFRAME), 0);
    EXPECT_TRUE(ex & WS_EX_TOOLWINDOW) << "a tool window has no taskbar button";
    EXPECT_FALSE(ex & WS_EX_APPWINDOW);
    EXPECT_EQ(GetMenu(form), nullptr);
}

TEST_F(WindowE2E, StartShowsTheStopPictureExactlyOverTheStartButtonAndStopBringsItBack) {
    int skinW = 0, skinH = 0, stopW = 0, stopH = 0;
    const auto skin = LoadPicture(L"skin.bmp", skinW, skinH);
    const auto stop = LoadPicture(L"stop.bmp", stopW, stopH);
    ASSERT_EQ(skinW, 312);
    ASSERT_EQ(stopW, 62);
    const RECT button{245, 87, 245 + 62, 87 + 25};
    const auto startPixels = Crop(skin, skinW, button);
    ASSERT_NE(startPixels, stop) << "the two buttons must look different";

    EXPECT_TRUE(WaitFor([&] { return OnScreen(form, button) == startPixels; }, 5000));
    Click(form, 3720 + 400, 1320 + 180); // Start
    EXPECT_TRUE(WaitFor([&] { return OnScreen(form, button) == stop; }, 5000));
    Click(form, 3680 + 400, 1300 + 180); // Stop, now on top of the same place
    EXPECT_TRUE(WaitFor([&] { return OnScreen(form, button) == startPixels; }, 5000));
}

TEST_F(WindowE2E, DraggingTheTitleStripOrBareSkinMovesTheWindowByTheMouseDelta) {
    struct Case {
        int x, y;
        Button button;
    } cases[] = {
        {600, 100, Button::Left},   // the drag strip over the title
        {2000, 1650, Button::Left}, // bare skin below the fields
        {900, 480, Button::Left},   // a line takes no mouse input: the skin's press
        {600, 100, Button::Right},  // any button starts the move
        {2000, 1650, Button::Middle},
    };
    for (const Case& c : cases) {
        const POINT before = TopLeft(form);
        Drag(form, c.x, c.y, 30, 20, c.button);
        EXPECT_TRUE(WaitFor(
            [&] {
                const POINT now = TopLeft(form);
                return now.x == before.x + 30 && now.y == before.y + 20;
            },
            3000))
            << "press at " << c.x << "," << c.y;
        if (c.button != Button::Left) {
            // The system's move loop ends on a left-button release (or Enter),
            // so after another button the window follows until the next click.
            Press(Button::Left);
            Release(Button::Left);
            const POINT moved = TopLeft(form);
            EXPECT_EQ(moved.x, before.x + 30);
            EXPECT_EQ(moved.y, before.y + 20);
        }
    }
}

TEST_F(WindowE2E, PressingOnACaptionOrOnOptionsDoesNotMoveTheWindow) {
    const POINT before = TopLeft(form);
    Drag(form, 120 + 300, 360 + 120, 30, 20);  // "Reason"
    Drag(form, 2520 + 300, 120, 30, 20);       // "Options": released elsewhere, no click
    Drag(form, 3840 + 300, 360 + 120, 30, 20); // "Silent"
    Sleep(300);
    const POINT after = TopLeft(form);
    EXPECT_EQ(after.x, before.x);
    EXPECT_EQ(after.y, before.y);
    EXPECT_EQ(OpenMenu(), nullptr);
}

TEST_F(WindowE2E, OptionsOpensThePopUpAtItsLeftEdgeBelowTheStrip) {
    Click(form, 2520 + 300, 120);
    HWND menu = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (menu = OpenMenu()) != nullptr; }, 5000));
    RECT r;
    GetWindowRect(menu, &r);
    const POINT at = ToScreen(form, 2520, 227);
    EXPECT_EQ(r.left, at.x);
    EXPECT_EQ(r.top, at.y);
    Key(VK_ESCAPE);
    EXPECT_TRUE(WaitFor([] { return OpenMenu() == nullptr; }, 3000));
}

TEST_F(WindowE2E, MinimizeFromTheMenuAndFromTheGlyph) {
    ASSERT_TRUE(ChooseMenu(form, menu::kMinimize));
    EXPECT_TRUE(WaitFor([&] { return IsIconic(form) != FALSE; }, 3000));

    ShowWindow(form, SW_RESTORE);
    ASSERT_TRUE(WaitFor([&] { return IsIconic(form) == FALSE; }, 3000));
    Click(form, 4080 + 120, 120); // the minimize glyph
    EXPECT_TRUE(WaitFor([&] { return IsIconic(form) != FALSE; }, 3000));
}

TEST_F(WindowE2E, TabGoesThroughTextCheckBoxInOrderAndSkipsTheCounter) {
    HWND text2 = Text2(form), text3 = Text3(form), text4 = Text4(form), check1 = Check1(form);
    ASSERT_TRUE(text2 && text3 && text4 && check1);
    Click(form, 1080 + 300, 1320 + 120);
    ASSERT_TRUE(WaitFor([&] { return FocusOf(form) == text2; }, 3000));
    for (HWND next : {text3, text4, check1, text2}) {
        Key(VK_TAB);
        EXPECT_TRUE(WaitFor([&] { return FocusOf(form) == next; }, 3000));
    }
}

TEST_F(WindowE2E, TheCounterCannotBeTypedIntoWhileTheFieldsCan) {
    HWND text1 = Text1(form), text4 = Text4(form);
    EXPECT_EQ(ReadText(text1), L"0");
    EXPECT_FALSE(IsWindowEnabled(text1));
    Click(form, 1080 + 300, 360 + 120); // the Reason field takes typing
    Key('B');
    EXPECT_TRUE(WaitFor([&] { return ReadText(text4) == L"b"; }, 3000));
    Click(form, 3720 + 300, 840 + 120);
    Key('7');
    Sleep(200);
    EXPECT_EQ(ReadText(text1), L"0");
}

} // namespace
