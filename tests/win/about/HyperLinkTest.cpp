// The link control: how its box fits its caption, the mouse cycle of a
// click on hidden dialogs made from the program's About template (with a
// recorder in place of the links' opener), and the pointer loaded once.

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
    const RECT box{10, 20, 50, 40};  // 40 by 20
    struct Case {
        LONG style;
        SIZE caption;
        RECT fitted;
    } const cases[] = {
        {SS_LEFT, {30, 8}, {10, 20, 40, 28}},
        {SS_RIGHT, {30, 8}, {20, 20, 50, 28}},
        {SS_CENTER, {31, 8}, {14, 20, 46, 28}},  // odd: the halves truncate toward zero
        {SS_CENTER | SS_CENTERIMAGE, {30, 9}, {15, 25, 45, 35}},
        {SS_CENTER | SS_CENTERIMAGE, {43, 23}, {9, 19, 51, 41}},  // caption larger than the box
    };
    for (const Case& c : cases) {
        const RECT fitted = FitToCaption(box, c.style, c.caption);
        EXPECT_EQ(std::vector<LONG>({fitted.left, fitted.top, fitted.right, fitted.bottom}),
                  std::vector<LONG>({c.fitted.left, c.fitted.top, c.fitted.right, c.fitted.bottom}))
            << c.style;
    }
}

std::vector<std::string> g_opened;  // "<show command> <link>" of each link opened
INT_PTR RecordOpening(const char* link, int showCommand) {
    g_opened.push_back(std::to_string(showCommand) + " " + link);
    return 42;
}

// The colour the link's dialog asks its text to be drawn in, and whether the
// underlined font and the dialog's own background are used.
COLORREF RequestColour(HWND link) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    ::SetBkMode(dc, OPAQUE);
    const LRESULT brush = ::SendMessageA(::GetParent(link), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(link));
    LOGFONTA font{};
    ::GetObjectA(::GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
    EXPECT_TRUE(font.lfUnderline);
    EXPECT_EQ(::GetBkMode(dc), TRANSPARENT);
    EXPECT_EQ(brush, reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
    const COLORREF colour = ::GetTextColor(dc);
    ::DeleteDC(dc);
    return colour;
}

// The texts of the tooltips for `control` (its dialog owns them).
std::vector<std::string> ToolTipsOf(HWND control) {
    std::vector<std::string> texts;
    for (HWND tip = nullptr; (tip = ::FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) != nullptr;) {
        char text[256] = {};
        TOOLINFOA info{};
        info.cbSize = TTTOOLINFOA_V2_SIZE;
        info.hwnd = ::GetParent(control);
        info.uId = reinterpret_cast<UINT_PTR>(control);
        info.lpszText = text;
        if (::GetWindow(tip, GW_OWNER) == ::GetParent(control) &&
            ::SendMessageA(tip, TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&info)))
            texts.push_back(text);
    }
    return texts;
}

TEST(HyperLink, OnlyAPressAndAReleaseWithoutAMoveOpenTheLink) {
    EnableCommonControls();
    CHyperLink::SetLinkOpener(&RecordOpening);  // for the whole test program
    CDialog dialog{IDD_ABOUT};  // the template only: no link bound
    ASSERT_TRUE(dialog.Create(nullptr));
    const HWND control = dialog.GetDlgItem(IDC_MAIL_LINK);
    // D: button down, M: mouse move, U: button up.
    struct Case {
        const char* mouse;
        std::size_t opens;
        COLORREF colour;
    } const cases[] = {
        {"", 0, CHyperLink::kUnvisitedColour},   {"DU", 1, CHyperLink::kVisitedColour},
        {"D", 0, CHyperLink::kPressedColour},    {"DMU", 0, CHyperLink::kUnvisitedColour},
        {"MU", 0, CHyperLink::kUnvisitedColour}, {"DMUDU", 1, CHyperLink::kVisitedColour},
        {"DUDMU", 1, CHyperLink::kVisitedColour},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mouse);
        g_opened.clear();
        CHyperLink link;
        ASSERT_TRUE(link.SubclassDlgItem(IDC_MAIL_LINK, dialog.Hwnd()));
        link.SetLink("https://x.example/", "");
        for (const char* event = c.mouse; *event != '\0'; ++event) {
            const UINT message = *event == 'D' ? WM_LBUTTONDOWN : *event == 'M' ? WM_MOUSEMOVE : WM_LBUTTONUP;
            ::SendMessageA(control, message, *event == 'D' ? MK_LBUTTON : 0, MAKELPARAM(3, 3));
        }
        EXPECT_EQ(g_opened, std::vector<std::string>(c.opens, "1 https://x.example/"));
        EXPECT_EQ(RequestColour(control), c.colour);
        EXPECT_EQ(::GetCapture(), c.mouse[0] == 'D' && std::string(c.mouse).back() == 'D' ? control : nullptr);
        EXPECT_TRUE(ToolTipsOf(control).empty()) << "no tip, no tooltip";
        ::ReleaseCapture();
    }
}

TEST(HyperLink, AboutBoxLinksHaveTheirTipsAndOpenTheirTargets) {
    EnableCommonControls();
    CHyperLink::SetLinkOpener(&RecordOpening);
    g_opened.clear();
    CAboutDialog about;
    ASSERT_TRUE(about.Create(nullptr));
    const std::pair<int, std::string_view> cases[] = {{IDC_MAIL_LINK, links::kSupportMail},
                                                      {IDC_SITE_LINK, links::kSiteAddress}};
    for (const auto& [id, target] : cases) {
        const HWND link = about.GetDlgItem(id);
        EXPECT_EQ(ToolTipsOf(link),
                  std::vector<std::string>{std::string(id == IDC_MAIL_LINK ? texts::kMailLinkTip : texts::kSiteLinkTip)});
        ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, 0);
        ::SendMessageA(link, WM_LBUTTONUP, 0, 0);
    }
    EXPECT_EQ(g_opened, (std::vector<std::string>{"1 " + std::string(links::kSupportMail),
                                                  "1 " + std::string(links::kSiteAddress)}));
}

int g_loads = 0;
UniqueIcon FailingLoad() {
    ++g_loads;
    return {};
}

TEST(HyperLink, PointerIsLoadedOnceEvenWhenTheLoadFails) {
    CLinkCursorCache failing(&FailingLoad);
    EXPECT_EQ(failing.Get(), nullptr);
    EXPECT_EQ(failing.Get(), nullptr);
    EXPECT_EQ(g_loads, 1);
    EXPECT_NE(CHyperLink::LoadLinkCursorFrom("C:\\none.exe").Get(), nullptr) << "the system's hand";
}

}  // namespace
