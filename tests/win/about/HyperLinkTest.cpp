// The link control: how its box fits its caption, and the mouse cycle of a
// click on hidden dialogs made from the program's About template, with a
// recorder in place of the links' opener.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include "about/AboutDialog.h"
#include "about/HyperLink.h"
#include "about/LinkTargets.h"
#include "app/Texts.h"
#include "res/resource.h"
#include "winfw/App.h"

namespace {

TEST(HyperLink, BoxShrinksToItsCaptionByItsAlignment) {
    const std::tuple<LONG, SIZE, std::vector<LONG>> cases[] = {
        // Style, caption, the box (10, 20)-(50, 40) fitted: left, top, right, bottom.
        {SS_LEFT, {30, 8}, {10, 20, 40, 28}},
        {SS_RIGHT, {30, 8}, {20, 20, 50, 28}},
        {SS_CENTER, {31, 8}, {14, 20, 46, 28}},  // odd: the halves truncate toward zero
        {SS_CENTER | SS_CENTERIMAGE, {30, 9}, {15, 25, 45, 35}},
        {SS_CENTER | SS_CENTERIMAGE, {43, 23}, {9, 19, 51, 41}},  // caption larger than the box
    };
    for (const auto& [style, caption, fitted] : cases) {
        const RECT box = FitToCaption({10, 20, 50, 40}, style, caption);
        EXPECT_EQ(std::vector<LONG>({box.left, box.top, box.right, box.bottom}), fitted) << style;
    }
}

std::vector<std::string> g_opened;  // "<show command> <link>" of each link opened
INT_PTR RecordOpening(const char* link, int showCommand) {
    g_opened.push_back(std::to_string(showCommand) + " " + link);
    return 42;
}

// The colour the link's dialog asks its text to be drawn in, checking the
// rest of its answer: underlined, on the dialog's own background.
COLORREF RequestColour(HWND link) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetBkMode(dc, OPAQUE);
    const LRESULT brush = ::SendMessageA(::GetParent(link), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(link));
    LOGFONTA font{};
    ::GetObjectA(::GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
    EXPECT_TRUE(font.lfUnderline && ::GetBkMode(dc) == TRANSPARENT);
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
    const COLORREF colour = ::GetTextColor(dc);
    ::DeleteDC(dc);
    return colour;
}

TEST(HyperLink, OnlyAPressAndAReleaseWithoutAMoveOpenTheLink) {
    EnableCommonControls();
    CHyperLink::SetLinkOpener(&RecordOpening);  // for the whole test program
    CDialog dialog{IDD_ABOUT};                  // the template only: no link bound
    ASSERT_TRUE(dialog.Create(nullptr));
    const HWND control = dialog.GetDlgItem(IDC_MAIL_LINK);
    const std::tuple<std::string, std::size_t, COLORREF> cases[] = {
        // D: button down, M: mouse move, U: button up; links opened; colour afterwards.
        {"", 0, CHyperLink::kUnvisitedColour},   {"DU", 1, CHyperLink::kVisitedColour},
        {"D", 0, CHyperLink::kPressedColour},    {"DMU", 0, CHyperLink::kUnvisitedColour},
        {"MU", 0, CHyperLink::kUnvisitedColour}, {"DMUDU", 1, CHyperLink::kVisitedColour},
        {"DUDMU", 1, CHyperLink::kVisitedColour},
    };
    for (const auto& [mouse, opens, colour] : cases) {
        g_opened.clear();
        CHyperLink link;
        ASSERT_TRUE(link.SubclassDlgItem(IDC_MAIL_LINK, dialog.Hwnd()));
        link.SetLink("https://x.example/", "");
        for (char event : mouse) {
            const UINT message = event == 'D' ? WM_LBUTTONDOWN : event == 'M' ? WM_MOUSEMOVE : WM_LBUTTONUP;
            ::SendMessageA(control, message, event == 'D' ? MK_LBUTTON : 0, MAKELPARAM(3, 3));
        }
        EXPECT_EQ(g_opened, std::vector<std::string>(opens, "1 https://x.example/")) << mouse;
        EXPECT_EQ(RequestColour(control), colour) << mouse;
        EXPECT_EQ(::GetCapture(), mouse == "D" ? control : nullptr) << mouse;
        ::ReleaseCapture();
    }
}

TEST(HyperLink, AboutBoxLinksHaveTheirTipsAndOpenTheirTargets) {
    EnableCommonControls();
    CHyperLink::SetLinkOpener(&RecordOpening);
    g_opened.clear();
    CAboutDialog about;
    ASSERT_TRUE(about.Create(nullptr));
    for (const auto& [id, target, tip] : {std::tuple{IDC_MAIL_LINK, links::kSupportMail, texts::kMailLinkTip},
                                          std::tuple{IDC_SITE_LINK, links::kSiteAddress, texts::kSiteLinkTip}}) {
        const HWND link = about.GetDlgItem(id);
        // The tooltip the link owns knows the link by its window.
        char text[256] = {};
        TOOLINFOA info{TTTOOLINFOA_V2_SIZE, 0, about.Hwnd(), reinterpret_cast<UINT_PTR>(link), {}, {}, text, 0, {}};
        for (HWND tip = nullptr; (tip = ::FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) != nullptr;)
            ::SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info));
        EXPECT_EQ(text, tip);
        ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        ::SendMessageA(link, WM_LBUTTONUP, 0, 0);
        EXPECT_EQ(g_opened.back(), "1 " + std::string(target));
    }
}

}  // namespace
