// The About box of the real program: opened from the system menu, its links
// clicked. The browser Wine starts for a link logs its argument to the file
// ARRAYFORGE_BROWSER_LOG names (scripts/test.sh prepares it).

#include <gmock/gmock.h>

#include <cstdlib>

#include "tests/support/TestSupport.h"
#include "tests/win/e2e/ProgramDriver.h"

namespace e2e {
namespace {

constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kPurple = RGB(128, 0, 128);

// How many pixels of the control show `colour`, read from the screen.
int PixelsOf(HWND control, COLORREF colour) {
    RECT rect{};
    ::GetWindowRect(control, &rect);
    HDC screen = ::GetDC(nullptr);
    int count = 0;
    for (int y = rect.top; y < rect.bottom; ++y)
        for (int x = rect.left; x < rect.right; ++x) count += ::GetPixel(screen, x, y) == colour;
    ::ReleaseDC(nullptr, screen);
    return count;
}

void ClickWithMouse(HWND control) {
    ::PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, 0);
    ::PostMessageA(control, WM_LBUTTONUP, 0, 0);
}

const char* BrowserLog() { return std::getenv("ARRAYFORGE_BROWSER_LOG"); }

bool BrowserOpened(const std::string& target) {
    return WaitFor([&] { return testing_support::ReadBytes(BrowserLog()).find(target) != std::string::npos; });
}

class AboutBox : public ::testing::Test {
protected:
    // Opens the box and waits until its links are painted.
    HWND Open() {
        ::PostMessageA(program.Dialog(), WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
        HWND about = program.WaitForBox();
        EXPECT_TRUE(WaitFor([&] { return PixelsOf(::GetDlgItem(about, IDC_SITE_LINK), kBlue) > 0; }));
        return about;
    }

    Program program;
};

TEST_F(AboutBox, OpensFromTheSystemMenuCentredOverTheMainWindow) {
    HWND about = Open();
    EXPECT_EQ(TextOf(about), "\xca\xde\xb0\xbc\xde\xae\xdd\x8f\xee\x95\xf1");  // ﾊﾞｰｼﾞｮﾝ情報
    std::vector<std::string> texts;
    for (HWND child = ::GetWindow(about, GW_CHILD); child != nullptr; child = ::GetWindow(child, GW_HWNDNEXT))
        texts.push_back(TextOf(child));
    // 作者にメール, 最新版入手, 本ソフトウェアは無料ソフトウェアです。
    EXPECT_THAT(texts, testing::IsSupersetOf<std::string>(
                           {"Arrayforge Ver1.05", "\x8d\xec\x8e\xd2\x82\xc9\x83\x81\x81\x5b\x83\x8b",
                            "\x8d\xc5\x90\x56\x94\xc5\x93\xfc\x8e\xe8",
                            "\x96\x7b\x83\x5c\x83\x74\x83\x67\x83\x45\x83\x46\x83\x41\x82\xcd\x96\xb3\x97\xbf\x83\x5c"
                            "\x83\x74\x83\x67\x83\x45\x83\x46\x83\x41\x82\xc5\x82\xb7\x81\x42",
                            "OK"}));
    EXPECT_EQ(::GetWindow(about, GW_OWNER), program.Dialog());
    EXPECT_FALSE(::IsWindowEnabled(program.Dialog())) << "modal";
    RECT box{};
    RECT main{};
    ::GetWindowRect(about, &box);
    ::GetWindowRect(program.Dialog(), &main);
    EXPECT_LE(std::abs(box.left + box.right - main.left - main.right), 4);
    EXPECT_LE(std::abs(box.top + box.bottom - main.top - main.bottom), 4);
}

TEST_F(AboutBox, ClickedLinkOpensItsAddressAndStaysPurpleUntilTheBoxIsOpenedAgain) {
    HWND about = Open();
    ClickWithMouse(::GetDlgItem(about, IDC_SITE_LINK));
    EXPECT_TRUE(WaitFor([&] { return PixelsOf(::GetDlgItem(about, IDC_SITE_LINK), kPurple) > 0; }));
    EXPECT_GT(PixelsOf(::GetDlgItem(about, IDC_MAIL_LINK), kBlue), 0) << "the other link stays blue";
    if (BrowserLog() != nullptr) {
        EXPECT_TRUE(BrowserOpened("https://www.corvane.example/arrayforge/"));
    }
    program.Answer(about, IDOK);
    about = Open();
    EXPECT_EQ(PixelsOf(::GetDlgItem(about, IDC_SITE_LINK), kPurple), 0);
}

TEST_F(AboutBox, MailLinkStartsTheMailer) {
    if (BrowserLog() == nullptr) GTEST_SKIP() << "no logging browser prepared";
    HWND about = Open();
    ClickWithMouse(::GetDlgItem(about, IDC_MAIL_LINK));
    EXPECT_TRUE(BrowserOpened("mailto:support@corvane.example"));
}

}  // namespace
}  // namespace e2e
