// The link control and the About dialog, on hidden dialogs made from the
// program's About template. Mouse messages are sent to the controls, and a
// recorder stands in for the links' opener.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <array>

#include "about/AboutDialog.h"
#include "about/HyperLink.h"
#include "about/LinkTargets.h"
#include "res/resource.h"
#include "winfw/App.h"

namespace {

// In the About template: SS_LEFT, and SS_CENTER | SS_CENTERIMAGE.
constexpr WORD kLeftLink = IDC_MAIL_LINK;
constexpr WORD kCentredLink = IDC_SITE_LINK;
constexpr const char* kSite = "https://www.corvane.example/arrayforge/";

// "<show command> <link>" of each link opened.
std::vector<std::string> g_opened;
INT_PTR RecordOpening(const char* link, int showCommand) {
    g_opened.push_back(std::to_string(showCommand).append(" ").append(link));
    return 42;
}

// What the dialog's answer to WM_CTLCOLORSTATIC for `control` did to the
// device context it was given.
struct ColourAnswer {
    LRESULT brush;
    COLORREF textColour;
    int backgroundMode;
    bool underlined;
};
ColourAnswer RequestColour(HWND control) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetTextColor(dc, RGB(1, 2, 3));
    ::SetBkMode(dc, OPAQUE);
    const LRESULT brush = ::SendMessageA(::GetParent(control), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(control));
    LOGFONTA font{};
    ::GetObjectA(::GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
    const ColourAnswer answer{brush, ::GetTextColor(dc), ::GetBkMode(dc), font.lfUnderline != 0};
    ::DeleteDC(dc);
    return answer;
}

// Left, top, width and height in the parent's client area.
std::array<LONG, 4> BoxOf(HWND control) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, ::GetParent(control), reinterpret_cast<POINT*>(&rect), 2);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// The caption's size in the control's font.
SIZE CaptionExtent(HWND control) {
    char caption[256] = {};
    const int length = ::GetWindowTextA(control, caption, sizeof caption);
    HDC dc = ::GetDC(control);
    HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(control, WM_GETFONT, 0, 0)));
    SIZE extent{};
    ::GetTextExtentPoint32A(dc, caption, length, &extent);
    ::SelectObject(dc, previous);
    ::ReleaseDC(control, dc);
    return extent;
}

// The texts of the tooltips for `control` (its dialog owns them), empty ones too.
std::vector<std::string> ToolTipsOf(HWND control) {
    std::vector<std::string> texts;
    HWND tooltip = nullptr;
    while ((tooltip = ::FindWindowExA(nullptr, tooltip, TOOLTIPS_CLASSA, nullptr)) != nullptr) {
        if (::GetWindow(tooltip, GW_OWNER) != ::GetParent(control)) continue;
        char text[256] = {};
        TOOLINFOA info{};
        info.cbSize = TTTOOLINFOA_V2_SIZE;
        info.hwnd = ::GetParent(control);
        info.uId = reinterpret_cast<UINT_PTR>(control);
        info.lpszText = text;
        if (::SendMessageA(tooltip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info))) texts.push_back(text);
    }
    return texts;
}

class HyperLinkTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnableCommonControls();
        g_opened.clear();
        previousOpener = CHyperLink::SetLinkOpener(&RecordOpening);
        ASSERT_TRUE(dialog.Create(nullptr));
    }
    void TearDown() override { CHyperLink::SetLinkOpener(previousOpener); }

    HWND Item(WORD id) const { return dialog.GetDlgItem(id); }
    void Bind(CHyperLink& link, WORD id, const char* tip = "") {
        ASSERT_TRUE(link.SubclassDlgItem(id, dialog.Hwnd()));
        link.SetLink(kSite, tip);
    }

    CHyperLink::LinkOpener previousOpener = nullptr;
    CDialog dialog{IDD_ABOUT};  // the template only: no link bound
};

TEST_F(HyperLinkTest, OnlyAPressAndAReleaseWithoutAMoveOpenTheLink) {
    // D: button down, M: mouse move, U: button up.
    struct Case {
        const char* mouse;
        std::size_t opens;
        COLORREF colour;
    } const cases[] = {
        {"DU", 1, CHyperLink::kVisitedColour},
        {"D", 0, CHyperLink::kPressedColour},
        {"DMU", 0, CHyperLink::kUnvisitedColour},
        {"MU", 0, CHyperLink::kUnvisitedColour},
        {"DMUDU", 1, CHyperLink::kVisitedColour},
        {"DUDMU", 1, CHyperLink::kVisitedColour},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mouse);
        g_opened.clear();
        CHyperLink link;
        Bind(link, kLeftLink);
        for (const char* event = c.mouse; *event != '\0'; ++event) {
            const UINT message = *event == 'D' ? WM_LBUTTONDOWN : *event == 'M' ? WM_MOUSEMOVE : WM_LBUTTONUP;
            ::SendMessageA(Item(kLeftLink), message, *event == 'D' ? MK_LBUTTON : 0, MAKELPARAM(3, 3));
        }
        EXPECT_EQ(g_opened, std::vector<std::string>(c.opens, std::string("1 ") + kSite));
        EXPECT_EQ(RequestColour(Item(kLeftLink)).textColour, c.colour);
        ::ReleaseCapture();
    }
}

TEST_F(HyperLinkTest, FirstColourRequestDrawsUnderlinedBlueOnTheDialogAndFitsTheCaption) {
    // Placed at (10, 20) with its caption's size plus `extra`, then fitted:
    // halving an odd difference truncates toward zero.
    struct Case {
        WORD id;
        SIZE extra;
        std::array<LONG, 4> fitted;  // width and height less the caption's
    } const cases[] = {
        {kLeftLink, {30, 9}, {10, 20, 0, 0}},
        {kCentredLink, {7, 5}, {13, 22, 1, 1}},
        {kCentredLink, {-3, -3}, {9, 19, -1, -1}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.extra.cx);
        CHyperLink link;
        Bind(link, c.id);
        // In the plain font: underlining does not change the size.
        const SIZE text = CaptionExtent(Item(c.id));
        ::MoveWindow(Item(c.id), 10, 20, text.cx + c.extra.cx, text.cy + c.extra.cy, FALSE);

        const ColourAnswer answer = RequestColour(Item(c.id));
        EXPECT_EQ(answer.brush, reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
        EXPECT_EQ(answer.backgroundMode, TRANSPARENT);
        EXPECT_EQ(answer.textColour, CHyperLink::kUnvisitedColour);
        EXPECT_TRUE(answer.underlined);
        const std::array<LONG, 4> expected{c.fitted[0], c.fitted[1], text.cx + c.fitted[2], text.cy + c.fitted[3]};
        EXPECT_EQ(BoxOf(Item(c.id)), expected);
        EXPECT_TRUE(ToolTipsOf(Item(c.id)).empty());  // no tip, no tooltip
    }
}

int g_failedLoads = 0;
UniqueIcon FailingLoad() {
    ++g_failedLoads;
    return {};
}

TEST_F(HyperLinkTest, PointerIsLoadedOnceForAllTheLinksOfTheProcess) {
    // Not tried again after a failure.
    CLinkCursorCache failing(&FailingLoad);
    EXPECT_EQ(failing.Get(), nullptr);
    EXPECT_EQ(failing.Get(), nullptr);
    EXPECT_EQ(g_failedLoads, 1);

    // Each load makes a new copy: one handle for all the links means one load.
    CHyperLink left, centred;
    Bind(left, kLeftLink);
    Bind(centred, kCentredLink);
    std::vector<HCURSOR> pointers;
    for (WORD id : {kLeftLink, kCentredLink, kLeftLink}) {
        ::SetCursor(nullptr);
        ::SendMessageA(Item(id), WM_SETCURSOR, reinterpret_cast<WPARAM>(Item(id)), MAKELPARAM(HTCLIENT, WM_MOUSEMOVE));
        pointers.push_back(::GetCursor());
    }
    EXPECT_NE(pointers[0], nullptr);
    EXPECT_EQ(pointers, std::vector<HCURSOR>(3, pointers[0]));
}

TEST_F(HyperLinkTest, AboutBoxLinksAreFittedHaveTheirTipsAndOpenTheirTargets) {
    CAboutDialog about;
    ASSERT_TRUE(about.Create(nullptr));
    struct Case {
        int id;
        const char* tip;
        std::string_view target;
    } const cases[] = {
        // "作者へメールを送ります。"
        {IDC_MAIL_LINK,
         "\x8D\xEC\x8E\xD2\x82\xD6\x83\x81\x81\x5B\x83\x8B\x82\xF0\x91\x97\x82\xE8\x82\xDC\x82\xB7\x81\x42",
         links::kSupportMail},
        // "最新版入手のためのサイトにアクセスします。"
        {IDC_SITE_LINK,
         "\x8D\xC5\x90\x56\x94\xC5\x93\xFC\x8E\xE8\x82\xCC\x82\xBD\x82\xDF\x82\xCC\x83\x54\x83\x43\x83\x67\x82\xC9"
         "\x83\x41\x83\x4E\x83\x5A\x83\x58\x82\xB5\x82\xDC\x82\xB7\x81\x42",
         links::kSiteAddress},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        const HWND link = about.GetDlgItem(c.id);
        EXPECT_EQ(RequestColour(link).textColour, CHyperLink::kUnvisitedColour);
        // Give or take the pixel that a centred fit halves away.
        EXPECT_NEAR(BoxOf(link)[2], CaptionExtent(link).cx, 1);
        EXPECT_NEAR(BoxOf(link)[3], CaptionExtent(link).cy, 1);
        EXPECT_EQ(ToolTipsOf(link), std::vector<std::string>{c.tip});

        g_opened.clear();
        ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
        EXPECT_EQ(g_opened, std::vector<std::string>{std::string("1 ").append(c.target)});
    }
}

}  // namespace
