// Form1 built for real in the test's own process: what the window holds when
// it opens, read back through the window manager.
#include "window/form1.h"
#include "window/behaviour.h"
#include <gtest/gtest.h>
#include <cstdio>
#include <string>
#include <vector>

namespace {

struct Entry {
    std::wstring caption; // "-" for a separator
    UINT id;              // 0 for a submenu
    std::vector<Entry> sub;
};

std::vector<Entry> ReadMenu(HMENU menu) {
    std::vector<Entry> entries;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[64] = L"";
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING | MIIM_SUBMENU | MIIM_STATE;
        info.dwTypeData = text;
        info.cch = 64;
        GetMenuItemInfoW(menu, static_cast<UINT>(i), TRUE, &info);
        Entry entry{(info.fType & MFT_SEPARATOR) ? L"-" : text, info.hSubMenu ? 0 : info.wID, {}};
        if (!(info.fType & MFT_SEPARATOR)) { // separators are grayed by nature
            EXPECT_EQ(info.fState & (MFS_CHECKED | MFS_DISABLED | MFS_DEFAULT), 0u)
                << "entry " << i;
        }
        if (info.hSubMenu) entry.sub = ReadMenu(info.hSubMenu);
        entries.push_back(entry);
    }
    return entries;
}

bool operator==(const Entry& a, const Entry& b) {
    return a.caption == b.caption && (a.caption == L"-" || a.id == b.id) && a.sub == b.sub;
}

void PrintTo(const Entry& e, std::ostream* os) {
    *os << std::string(e.caption.begin(), e.caption.end()) << "#" << e.id;
}

class Form1Test : public ::testing::Test {
  protected:
    void SetUp() override {
        form = CreateForm1(GetModuleHandleW(nullptr));
        ASSERT_NE(form, nullptr);
    }
    void TearDown() override {
        if (form) DestroyWindow(form->hwnd); // the window frees the struct
    }
    Form1* form = nullptr;
};

TEST_F(Form1Test, MenuTreeHasTheCaptionsAccessKeysAndSeparatorsInOrder) {
    const std::vector<Entry> expected = {
        {L"&Silent Mode", kMnuSilent, {}},
        {L"&Minimize", kMnuMini, {}},
        {L"-", 0, {}},
        {L"Load &Time", kMnuLtime, {}},
        {L"Load &Prefs", kMnuLpref, {}},
        {L"-", 0, {}},
        {L"Save T&ime", kMnuStime, {}},
        {L"Save P&refs", kMnuSpref, {}},
        {L"-", 0, {}},
        {L"IMs", 0, {{L"&Off", kMnuOff, {}}, {L"O&n", kMnuOn, {}}}},
        {L"&Other",
         0,
         {{L"&Advertise", kMnuAd, {}},
          {L"&Scroll Stats", kMnuStats, {}},
          {L"Mouse &Movement", kMnuMouse, {}}}},
        {L"Reset &All", kMnuReset, {}},
        {L"Reset Ti&me", kMnuRtime, {}},
        {L"&Exit", kMnuExit, {}},
    };
    EXPECT_EQ(ReadMenu(form->mnu_op), expected);
    EXPECT_EQ(GetMenu(form->hwnd), nullptr) << "the window shows no menu bar";
}

TEST_F(Form1Test, CarriesTheProgramIconInBothSizes) {
    EXPECT_NE(SendMessageW(form->hwnd, WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(GetClassLongPtrW(form->hwnd, GCLP_HICONSM), 0);
}

RECT RectIn(HWND control, HWND parent) {
    RECT r;
    GetWindowRect(control, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

std::wstring FaceOf(HWND control) {
    LOGFONTW font{};
    GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
               &font);
    return font.lfFaceName;
}

TEST_F(Form1Test, ControlsOpenWithTheirDesignTimeState) {
    EXPECT_EQ(GetText(form->Text1), L"0");
    EXPECT_FALSE(IsWindowEnabled(form->Text1));
    EXPECT_TRUE(GetWindowLongW(form->Text1, GWL_STYLE) & ES_CENTER);
    for (HWND text : {form->Text2, form->Text3, form->Text4}) {
        EXPECT_EQ(GetText(text), L"");
        EXPECT_TRUE(IsWindowEnabled(text));
        EXPECT_EQ(FaceOf(text), L"Tahoma");
        EXPECT_TRUE(GetWindowLongW(text, GWL_STYLE) & WS_TABSTOP);
    }
    EXPECT_EQ(Check1_Value(*form), 0);
    EXPECT_FALSE(Image1Visible(*form));
    EXPECT_TRUE(Label9Visible(*form));
    EXPECT_FALSE(MenuChecked(*form, kMnuSilent));
    EXPECT_FALSE(MenuChecked(*form, kMnuMouse));
}

TEST_F(Form1Test, ControlsSitWhereTheLayoutPutsThem) {
    RECT window;
    GetWindowRect(form->hwnd, &window);
    EXPECT_EQ(window.right - window.left, 314); // 4710 x 1770 twips
    EXPECT_EQ(window.bottom - window.top, 118);
    struct Place {
        HWND control;
        RECT px;
    } places[] = {
        {form->Text4, {72, 24, 72 + 153, 24 + 19}},   {form->Text3, {72, 56, 72 + 153, 56 + 19}},
        {form->Text2, {72, 88, 72 + 153, 88 + 19}},   {form->Text1, {248, 56, 248 + 49, 56 + 19}},
        {form->Check1, {240, 24, 240 + 13, 24 + 13}}, {form->Picture1, {0, 0, 316, 119}},
    };
    for (const Place& p : places) {
        const RECT r = RectIn(p.control, p.control == form->Picture1 ? form->hwnd : form->Picture1);
        EXPECT_EQ(r.left, p.px.left);
        EXPECT_EQ(r.top, p.px.top);
        EXPECT_EQ(r.right, p.px.right);
        EXPECT_EQ(r.bottom, p.px.bottom);
    }
}

TEST_F(Form1Test, TabOrderIsTextLinkReasonSilent) {
    std::vector<HWND> order;
    HWND at = form->Text2;
    for (int i = 0; i < 4; ++i) {
        order.push_back(at);
        at = GetNextDlgTabItem(form->hwnd, at, FALSE);
    }
    EXPECT_EQ(order, (std::vector<HWND>{form->Text2, form->Text3, form->Text4, form->Check1}));
    EXPECT_EQ(at, form->Text2) << "the disabled counter is skipped";
}

TEST_F(Form1Test, StartHidesTheStartAreaUnderTheStopPictureAndStopUndoesIt) {
    Label9_Click(*form);
    EXPECT_TRUE(Image1Visible(*form));
    EXPECT_FALSE(Label9Visible(*form));
    Image1_Click(*form);
    EXPECT_FALSE(Image1Visible(*form));
    EXPECT_TRUE(Label9Visible(*form));
    EXPECT_EQ(GetText(form->Text1), L"0") << "Start and Stop leave the counter alone";
}

// The system refuses every edit box, so Text2, the first, cannot be made; the
// box that follows is answered as it shows, its prompt put on stderr.
LRESULT CALLBACK RefuseEditBoxesAnswerTheBox(int code, WPARAM wp, LPARAM lp) {
    const auto window = reinterpret_cast<HWND>(wp);
    char text[128] = "";
    if (code == HCBT_CREATEWND && GetClassNameA(window, text, sizeof text) &&
        lstrcmpiA(text, "Edit") == 0)
        return 1;
    if (code == HCBT_ACTIVATE && GetDlgItemTextA(window, 0xFFFF, text, sizeof text)) {
        std::fputs(text, stderr);
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wp, lp);
}

TEST(Form1DeathTest, AControlThatCannotBeMadeEndsTheProgramAfterABoxNamingIt) {
    EXPECT_EXIT(
        {
            SetWindowsHookExA(WH_CBT, RefuseEditBoxesAnswerTheBox, nullptr, GetCurrentThreadId());
            CreateForm1(GetModuleHandleW(nullptr));
        },
        testing::ExitedWithCode(1), "idler cannot create Text2\\.");
}

} // namespace
