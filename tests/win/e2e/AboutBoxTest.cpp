// The About box of the real program: opened from the system menu, its
// texts, its place over the main window, and its links clicked with the
// mouse. The browser that Wine starts for a link is the test script's
// logging browser, named in ARRAYFORGE_BROWSER_LOG's companion registry
// setting (see scripts/test.sh).

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>

#include "E2eTest.h"

namespace e2e {
namespace {

constexpr int kMailLink = 1013;
constexpr int kSiteLink = 1014;
constexpr UINT kAboutCommand = 0x0010;

const std::string kAboutCaption = "\xca\xde\xb0\xbc\xde\xae\xdd\x8f\xee\x95\xf1";  // ﾊﾞｰｼﾞｮﾝ情報
const std::vector<std::string> kAboutTexts = {
    "Arrayforge Ver1.05",
    "\x8d\xec\x8e\xd2\x82\xc9\x83\x81\x81\x5b\x83\x8b",  // 作者にメール
    "\x8d\xc5\x90\x56\x94\xc5\x93\xfc\x8e\xe8",          // 最新版入手
    // 本ソフトウェアは無料ソフトウェアです。
    "\x96\x7b\x83\x5c\x83\x74\x83\x67\x83\x45\x83\x46\x83\x41\x82\xcd\x96\xb3\x97\xbf\x83\x5c\x83\x74\x83\x67"
    "\x83\x45\x83\x46\x83\x41\x82\xc5\x82\xb7\x81\x42",
    "OK",
};
constexpr COLORREF kBlue = RGB(0, 0, 255);
constexpr COLORREF kPurple = RGB(128, 0, 128);

BOOL CALLBACK CollectText(HWND child, LPARAM list) {
    char text[256] = {};
    ::GetWindowTextA(child, text, sizeof text);
    reinterpret_cast<std::vector<std::string>*>(list)->push_back(text);
    return TRUE;
}

std::vector<std::string> ChildTexts(HWND window) {
    std::vector<std::string> texts;
    ::EnumChildWindows(window, &CollectText, reinterpret_cast<LPARAM>(&texts));
    return texts;
}

POINT Centre(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

// How many pixels of the control show `colour`, read from the screen
// (another process's window DC does not read back).
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

// A press and a release at the same place, as a click that does not move.
void ClickWithMouse(HWND control) {
    RECT rect{};
    ::GetClientRect(control, &rect);
    LPARAM at = MAKELPARAM(rect.right / 2, rect.bottom / 2);
    ::PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::PostMessageA(control, WM_LBUTTONUP, 0, at);
}

std::string BrowserLog() {
    const char* path = std::getenv("ARRAYFORGE_BROWSER_LOG");
    if (path == nullptr) return {};
    std::ifstream in(path);
    std::ostringstream content;
    content << in.rdbuf();
    return content.str();
}

class AboutBox : public ProgramTest {
protected:
    HWND OpenAbout(Program& program) {
        ::PostMessageA(program.Dialog(), WM_SYSCOMMAND, kAboutCommand, 0);
        HWND about = program.WaitForBox();
        if (about != nullptr) {
            EXPECT_TRUE(WaitFor([&] { return PixelsOf(::GetDlgItem(about, kSiteLink), kBlue) > 0; }));
        }
        return about;
    }
    void CloseAbout(Program& program, HWND about) { program.Answer(about, IDOK); }
};

TEST_F(AboutBox, OpensFromTheSystemMenuCentredOverTheMainWindow) {
    Program program;
    ASSERT_TRUE(program.Started());
    HWND about = OpenAbout(program);
    ASSERT_NE(about, nullptr);
    char caption[64] = {};
    ::GetWindowTextA(about, caption, sizeof caption);
    EXPECT_EQ(caption, kAboutCaption);
    EXPECT_EQ(::GetWindow(about, GW_OWNER), program.Dialog());
    std::vector<std::string> texts = ChildTexts(about);
    for (const std::string& expected : kAboutTexts)
        EXPECT_NE(std::find(texts.begin(), texts.end(), expected), texts.end()) << expected;
    POINT aboutCentre = Centre(about);
    POINT mainCentre = Centre(program.Dialog());
    EXPECT_LE(std::abs(aboutCentre.x - mainCentre.x), 2);
    EXPECT_LE(std::abs(aboutCentre.y - mainCentre.y), 2);
    EXPECT_FALSE(::IsWindowEnabled(program.Dialog())) << "modal over the main window";

    CloseAbout(program, about);
    EXPECT_TRUE(::IsWindowEnabled(program.Dialog()));
    EXPECT_EQ(program.Text(kInput), "") << "the main window is unchanged";
}

TEST_F(AboutBox, ClickedLinkOpensItsAddressAndTurnsPurpleUntilReopened) {
    Program program;
    ASSERT_TRUE(program.Started());
    HWND about = OpenAbout(program);
    ASSERT_NE(about, nullptr);
    HWND site = ::GetDlgItem(about, kSiteLink);
    HWND mail = ::GetDlgItem(about, kMailLink);
    EXPECT_GT(PixelsOf(mail, kBlue), 0);

    ClickWithMouse(site);
    EXPECT_TRUE(WaitFor([&] { return PixelsOf(site, kPurple) > 0; })) << "a visited link is purple";
    EXPECT_GT(PixelsOf(mail, kBlue), 0) << "the other link stays blue";
    if (std::getenv("ARRAYFORGE_BROWSER_LOG") != nullptr) {
        EXPECT_TRUE(WaitFor([] { return BrowserLog().find("https://www.corvane.example/arrayforge/") != std::string::npos; }))
            << BrowserLog();
    }

    CloseAbout(program, about);
    about = OpenAbout(program);
    ASSERT_NE(about, nullptr);
    EXPECT_EQ(PixelsOf(::GetDlgItem(about, kSiteLink), kPurple), 0) << "a new box, new links";
    EXPECT_GT(PixelsOf(::GetDlgItem(about, kSiteLink), kBlue), 0);
    CloseAbout(program, about);
}

TEST_F(AboutBox, MailLinkStartsTheMailer) {
    if (std::getenv("ARRAYFORGE_BROWSER_LOG") == nullptr) GTEST_SKIP() << "no logging browser prepared";
    Program program;
    ASSERT_TRUE(program.Started());
    HWND about = OpenAbout(program);
    ASSERT_NE(about, nullptr);
    ClickWithMouse(::GetDlgItem(about, kMailLink));
    EXPECT_TRUE(WaitFor([] { return BrowserLog().find("mailto:support@corvane.example") != std::string::npos; }))
        << BrowserLog();
    CloseAbout(program, about);
}

}  // namespace
}  // namespace e2e
