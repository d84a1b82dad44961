// The About box from the program's resources (template IDD_ABOUT), run
// modally as the main window runs it. Each test acts once the box is shown,
// from a message posted while it initialised.

#include <gtest/gtest.h>

#include <functional>

#include "AboutTestSupport.h"
#include "about/AboutDialog.h"
#include "about/LinkTargets.h"
#include "app/MessageBoxes.h"
#include "res/resource.h"
#include "winfw/App.h"
#include "winfw/Handles.h"

namespace {

constexpr INT_PTR kTimedOut = -99;
constexpr UINT kShown = WM_APP + 7;
constexpr UINT_PTR kSafetyTimer = 1;
constexpr UINT_PTR kPollTimer = 2;

// "作者へメールを送ります。" and "最新版入手のためのサイトにアクセスします。"
constexpr const char* kMailTip = "\x8D\xEC\x8E\xD2\x82\xD6\x83\x81\x81\x5B\x83\x8B\x82\xF0\x91\x97\x82\xE8\x82\xDC"
                                 "\x82\xB7\x81\x42";
constexpr const char* kSiteTip = "\x8D\xC5\x90\x56\x94\xC5\x93\xFC\x8E\xE8\x82\xCC\x82\xBD\x82\xDF\x82\xCC\x83\x54"
                                 "\x83\x43\x83\x67\x82\xC9\x83\x41\x83\x4E\x83\x5A\x83\x58\x82\xB5\x82\xDC\x82\xB7"
                                 "\x81\x42";

// Runs `shown` once the box is on the screen, then `poll` every 50 ms until
// it answers true. The box ends itself after 20 s at the latest.
class ScriptedAbout : public CAboutDialog {
public:
    using CAboutDialog::CAboutDialog;
    std::function<void(ScriptedAbout&)> shown;
    std::function<bool(ScriptedAbout&)> poll;

    HWND Mail() const { return GetDlgItem(IDC_MAIL_LINK); }
    HWND Site() const { return GetDlgItem(IDC_SITE_LINK); }
    ColourAnswer Colour(HWND link) const { return RequestColour(Hwnd(), link); }

protected:
    BOOL OnInitDialog() override {
        const BOOL answer = CAboutDialog::OnInitDialog();
        ::PostMessageA(Hwnd(), kShown, 0, 0);
        ::SetTimer(Hwnd(), kSafetyTimer, 20000, nullptr);
        return answer;
    }
    std::span<const MessageEntry> MessageTable() const override {
        static constexpr MessageEntry kTable[] = {
            Message<&ScriptedAbout::OnShown>(kShown),
            Message<&ScriptedAbout::OnTimer>(WM_TIMER),
        };
        return kTable;
    }

private:
    std::optional<LRESULT> OnShown(WPARAM, LPARAM) {
        if (shown) shown(*this);
        if (poll) ::SetTimer(Hwnd(), kPollTimer, 50, nullptr);
        return 0;
    }
    std::optional<LRESULT> OnTimer(WPARAM timer, LPARAM) {
        if (timer == kSafetyTimer) EndDialog(kTimedOut);
        if (timer == kPollTimer && poll(*this)) ::KillTimer(Hwnd(), kPollTimer);
        return 0;
    }
};

// The rectangle of dialog units x, y, width, height in the box's pixels.
Box DialogUnits(HWND dialog, LONG x, LONG y, LONG width, LONG height) {
    RECT rect{x, y, x + width, y + height};
    ::MapDialogRect(dialog, &rect);
    return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

// Rows of `link`'s client area drawn in `colour` for at least nine tenths
// of their width: an underline, not a row through the letters.
int UnderlineRows(HWND link, COLORREF colour) {
    RECT client{};
    ::GetClientRect(link, &client);
    HDC dc = ::GetDC(link);
    int rows = 0;
    for (int y = 0; y < client.bottom; ++y) {
        int inColour = 0;
        for (int x = 0; x < client.right; ++x) inColour += ::GetPixel(dc, x, y) == colour ? 1 : 0;
        if (client.right > 0 && inColour * 10 >= client.right * 9) ++rows;
    }
    ::ReleaseDC(link, dc);
    return rows;
}

class AboutDialogTest : public ::testing::Test {
protected:
    void SetUp() override { EnableCommonControls(); }
    ScopedLinkRecorder opened;
};

TEST_F(AboutDialogTest, OpensWithBothLinksBlueUnderlinedAndFittedAtTheFirstPaint) {
    ScriptedAbout about;
    Box mailTemplate{}, siteTemplate{}, mail{}, site{};
    SIZE mailText{}, siteText{};
    ColourAnswer mailColour{}, siteColour{};
    int underlineRows = 0;
    HWND focus = nullptr, ok = nullptr;
    about.shown = [&](ScriptedAbout& box) {
        mailTemplate = DialogUnits(box.Hwnd(), 75, 51, 40, 8);
        siteTemplate = DialogUnits(box.Hwnd(), 77, 65, 35, 8);
        ::RedrawWindow(box.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        mail = BoxOf(box.Mail());
        site = BoxOf(box.Site());
        const auto dialogFont = reinterpret_cast<HFONT>(::SendMessageA(box.Hwnd(), WM_GETFONT, 0, 0));
        mailText = UnderlinedCaptionExtent(box.Mail(), dialogFont);
        siteText = UnderlinedCaptionExtent(box.Site(), dialogFont);
        underlineRows = UnderlineRows(box.Mail(), CHyperLink::kUnvisitedColour);
        mailColour = box.Colour(box.Mail());
        siteColour = box.Colour(box.Site());
        focus = ::GetFocus();
        ok = box.GetDlgItem(IDOK);
        box.EndDialog(IDOK);
    };
    ASSERT_EQ(about.DoModal(), IDOK);

    EXPECT_EQ(mail, (Box{mailTemplate.left, mailTemplate.top, mailText.cx, mailText.cy}));
    // The site link keeps its centre, to the pixel that the halving loses.
    EXPECT_NEAR(2 * site.left + site.width, 2 * siteTemplate.left + siteTemplate.width, 1);
    EXPECT_NEAR(2 * site.top + site.height, 2 * siteTemplate.top + siteTemplate.height, 1);
    EXPECT_NEAR(site.width, siteText.cx, 1);
    EXPECT_NEAR(site.height, siteText.cy, 1);

    EXPECT_GE(underlineRows, 1);  // the underline, in the link colour
    for (const ColourAnswer& colour : {mailColour, siteColour}) {
        EXPECT_EQ(colour.textColour, CHyperLink::kUnvisitedColour);
        EXPECT_TRUE(colour.fontDescription.lfUnderline);
    }
    EXPECT_EQ(focus, ok);
}

TEST_F(AboutDialogTest, EachLinkHasItsTipShownWhenThePointerRestsOnIt) {
    ScriptedAbout about;
    std::vector<ToolTipOfControl> mailTips, siteTips;
    bool mailTipShown = false;
    about.shown = [&](ScriptedAbout& box) {
        mailTips = ToolTipsOf(box.Mail());
        siteTips = ToolTipsOf(box.Site());
        RECT link{};
        ::GetWindowRect(box.Mail(), &link);
        ::SetCursorPos((link.left + link.right) / 2, (link.top + link.bottom) / 2);
        // Reaches the tooltip only through the link's pre-translation hook.
        ::PostMessageA(box.Mail(), WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    };
    about.poll = [&](ScriptedAbout& box) {
        mailTipShown = !mailTips.empty() && ::IsWindowVisible(mailTips[0].window);
        if (mailTipShown) box.EndDialog(IDOK);
        return mailTipShown;
    };
    EXPECT_EQ(about.DoModal(), IDOK);
    ASSERT_EQ(mailTips.size(), 1u);
    EXPECT_EQ(mailTips[0].text, kMailTip);
    ASSERT_EQ(siteTips.size(), 1u);
    EXPECT_EQ(siteTips[0].text, kSiteTip);
    EXPECT_TRUE(mailTipShown);
}

TEST_F(AboutDialogTest, ClickedLinkOpensItsTargetAndStaysPurpleForThisOpeningOnly) {
    struct Colours {
        COLORREF mail, site;
    };
    std::vector<Colours> seen;
    const auto click = [](HWND link) {
        ::SendMessageA(link, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
        ::SendMessageA(link, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    };
    const auto colours = [&](ScriptedAbout& box) {
        seen.push_back({box.Colour(box.Mail()).textColour, box.Colour(box.Site()).textColour});
    };
    ScriptedAbout first;
    first.shown = [&](ScriptedAbout& box) {
        click(box.Site());
        colours(box);
        box.EndDialog(IDOK);
    };
    first.DoModal();
    ScriptedAbout second;
    second.shown = [&](ScriptedAbout& box) {
        colours(box);
        click(box.Mail());
        box.EndDialog(IDOK);
    };
    second.DoModal();

    const std::vector<ScopedLinkRecorder::Opened> expected = {
        {std::string(links::kSiteAddress), SW_SHOWNORMAL}, {std::string(links::kSupportMail), SW_SHOWNORMAL}};
    EXPECT_EQ(opened.Links(), expected);
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen[0].mail, CHyperLink::kUnvisitedColour);
    EXPECT_EQ(seen[0].site, CHyperLink::kVisitedColour);
    EXPECT_EQ(seen[1].mail, CHyperLink::kUnvisitedColour);
    EXPECT_EQ(seen[1].site, CHyperLink::kUnvisitedColour);
}

TEST_F(AboutDialogTest, WithoutAParentTheMainWindowOwnsTheBox) {
    const UniqueWindow mainWindow(::CreateWindowA("STATIC", "main", WS_POPUP | WS_VISIBLE, 0, 0, 300, 200, nullptr,
                                                  nullptr, nullptr, nullptr));
    SetAppMainWindow(mainWindow.Get());
    HWND owner = nullptr;
    BOOL mainEnabled = TRUE;
    ScriptedAbout about;
    about.shown = [&](ScriptedAbout& box) {
        owner = ::GetWindow(box.Hwnd(), GW_OWNER);
        mainEnabled = ::IsWindowEnabled(mainWindow.Get());
        box.EndDialog(IDOK);
    };
    about.DoModal();
    SetAppMainWindow(nullptr);
    EXPECT_EQ(owner, mainWindow.Get());
    EXPECT_FALSE(mainEnabled);
    EXPECT_TRUE(::IsWindowEnabled(mainWindow.Get()));
}

TEST_F(AboutDialogTest, EnterAndEscapeCloseTheBox) {
    for (auto [key, expected] : {std::pair{VK_RETURN, IDOK}, std::pair{VK_ESCAPE, IDCANCEL}}) {
        SCOPED_TRACE(key);
        ScriptedAbout about;
        about.shown = [key = key](ScriptedAbout&) { ::PostMessageA(::GetFocus(), WM_KEYDOWN, key, 0x00010001); };
        EXPECT_EQ(about.DoModal(), expected);
    }
}

}  // namespace
