// The link control: how its box fits its caption, the mouse cycle of a
// click (a recorder in place of the links' opener); the launcher: the
// command line it builds, and its fallback with HKEY_CLASSES_ROOT redirected
// to a key of the test's own, where ".htm" opens with this program in its
// recording role.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

#include "TestResources.h"
#include "TestSupportWin.h"
#include "winfw/App.h"
#include "winfw/Dialog.h"
#include "winfw/ErrorReporting.h"
#include "winfw/HyperLink.h"
#include "winfw/LinkLauncher.h"
#include "winfw/SystemPaths.h"

TEST(HyperLink, BoxShrinksToItsCaptionByItsAlignment) {
    // Style, caption, the box (10, 20)-(50, 40) fitted: left, top, right, bottom.
    const std::tuple<LONG, SIZE, std::vector<LONG>> cases[] = {
        {SS_LEFT, {30, 8}, {10, 20, 40, 28}},
        {SS_RIGHT, {30, 8}, {20, 20, 50, 28}},
        {SS_CENTER, {31, 8}, {14, 20, 46, 28}},  // odd: the halves truncate toward zero
        {SS_CENTER | SS_CENTERIMAGE, {30, 9}, {15, 25, 45, 35}},
        {SS_CENTER | SS_CENTERIMAGE, {43, 23}, {9, 19, 51, 41}}};  // larger than the box
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

// The size of the link's caption in its font.
SIZE CaptionExtent(HWND link) {
    HDC dc = ::GetDC(link);
    const HGDIOBJ previous = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageA(link, WM_GETFONT, 0, 0)));
    SIZE extent{};
    ::GetTextExtentPoint32A(dc, "a link", 6, &extent);
    ::SelectObject(dc, previous);
    ::ReleaseDC(link, dc);
    return extent;
}

// The colour the link's dialog asks its text to be drawn in, underlined, on the dialog's own background.
COLORREF RequestColour(HWND link) {
    HDC dc = ::CreateCompatibleDC(nullptr);
    const LRESULT brush = ::SendMessageA(::GetParent(link), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc),
                                         reinterpret_cast<LPARAM>(link));
    LOGFONTA font{};
    ::GetObjectA(::GetCurrentObject(dc, OBJ_FONT), sizeof font, &font);
    EXPECT_TRUE(font.lfUnderline && ::GetBkMode(dc) == TRANSPARENT &&
                brush == reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH)));
    const COLORREF colour = ::GetTextColor(dc);
    ::DeleteDC(dc);
    return colour;
}

TEST(HyperLink, OnlyAPressAndAReleaseWithoutAMoveOpenTheLink) {
    CHyperLink::SetLinkOpener(&RecordOpening);  // for the whole test program
    CDialog dialog{IDD_TEST_DIALOG};            // the template only: no link bound
    ASSERT_TRUE(dialog.Create(nullptr) &&
                !::ShowWindow(dialog.Hwnd(), SW_SHOWNA));  // shown: only then is a repaint seen
    const HWND control = dialog.GetDlgItem(IDC_LINK);
    const HCURSOR moved = ::LoadCursorA(nullptr, IDC_NO);
    // D: button down, M: mouse move, U: button up; links opened; colour afterwards; the events that repaint.
    const std::tuple<std::string, std::size_t, COLORREF, std::string> cases[] = {
        {"", 0, CHyperLink::kUnvisitedColour, ""},       {"DU", 1, CHyperLink::kVisitedColour, "DU"},
        {"D", 0, CHyperLink::kPressedColour, "D"},       {"DMU", 0, CHyperLink::kUnvisitedColour, "DU"},
        {"MU", 0, CHyperLink::kUnvisitedColour, ""},     {"DMUDU", 1, CHyperLink::kVisitedColour, "DUDU"},
        {"DUDMU", 1, CHyperLink::kVisitedColour, "DUDU"}};
    for (const auto& [mouse, opens, colour, repainting] : cases) {
        g_opened.clear();
        CHyperLink link;
        ASSERT_TRUE(link.SubclassDlgItem(IDC_LINK, dialog.Hwnd()));
        link.SetLink("https://x.example/", "", moved);
        ::SetCursor(nullptr);
        EXPECT_TRUE(::SendMessageA(control, WM_SETCURSOR, reinterpret_cast<WPARAM>(control), HTCLIENT) == TRUE &&
                    ::GetCursor())
            << "the hand set";
        std::string repainted;
        for (char event : mouse) {
            ::ValidateRect(control, nullptr);
            ::SendMessageA(control,
                           event == 'D'   ? WM_LBUTTONDOWN
                           : event == 'M' ? WM_MOUSEMOVE
                                          : WM_LBUTTONUP,
                           event == 'D', MAKELPARAM(3, 3));
            if (::GetUpdateRect(control, nullptr, FALSE)) repainted += event;
        }
        EXPECT_EQ(g_opened, std::vector<std::string>(opens, "1 https://x.example/")) << mouse;
        EXPECT_EQ(::GetCursor() == moved, mouse.find("DM") != std::string::npos) << "the pointer of a cancelled click";
        EXPECT_EQ(repainted, repainting);
        // Aligned right or left, the text is drawn as a link all the same.
        ::SetWindowLongA(control, GWL_STYLE,
                         (::GetWindowLongA(control, GWL_STYLE) & ~0xFF) | (mouse.size() % 2 ? SS_RIGHT : SS_LEFT));
        EXPECT_EQ(RequestColour(control), colour) << mouse;
        EXPECT_EQ(::GetCapture(), mouse == "D" ? control : nullptr) << mouse;
        ::ReleaseCapture();
    }
}

TEST(HyperLink, BorderedLinkFitsItsCaptionAndShowsItsTipFromTheMovesRelayedToIt) {
    CDialog dialog{IDD_TEST_DIALOG};
    ASSERT_TRUE(dialog.Create(nullptr));
    ::ShowWindow(dialog.Hwnd(), SW_SHOW);  // active: a tip shows over the active window only
    CHyperLink link;
    ASSERT_TRUE(link.SubclassDlgItem(IDC_LINK, dialog.Hwnd()));
    link.SetLink("https://x.example/", "the tip", nullptr);
    ::SetWindowLongA(link.Hwnd(), GWL_STYLE, ::GetWindowLongA(link.Hwnd(), GWL_STYLE) | WS_BORDER);
    ::SetWindowPos(link.Hwnd(), nullptr, 0, 0, 0, 0, SWP_FRAMECHANGED | SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER);
    RequestColour(link.Hwnd());
    RECT client{}, box{};
    ::GetClientRect(link.Hwnd(), &client);
    ::GetWindowRect(link.Hwnd(), &box);
    const SIZE extent = CaptionExtent(link.Hwnd());
    EXPECT_TRUE(client.right == extent.cx && client.bottom == extent.cy && box.right - box.left == extent.cx + 2 &&
                box.bottom - box.top == extent.cy + 2)
        << "the caption fills the box within its border";
    const HWND tip = ToolTipOf(dialog.Hwnd());
    ASSERT_NE(tip, nullptr);
    EXPECT_TRUE(TipShowsOnRelayedMove(link, link.Hwnd(), tip));
}

int g_cursorLoads = 0;
UniqueIcon FailingCursorLoad() {
    ++g_cursorLoads;
    return {};
}

TEST(HyperLink, LinkCursorIsLoadedOnceEvenWhenTheLoadFails) {
    CLinkCursorCache cache(&FailingCursorLoad);
    EXPECT_TRUE(cache.Get() == nullptr && cache.Get() == nullptr && g_cursorLoads == 1);
}

TEST(LinkLauncher, CommandLineLosesThePlaceholderAndEndsInTheLink) {
    const std::string link = "https://x.example/",
                      fits(kCommandBufferSize - 1 - 2, 'a');  // with " x", one byte left for the zero
    // Registered command line, link, the line started.
    const std::tuple<std::string, std::string, std::optional<std::string>> cases[] = {
        {"\"C:\\b.exe\" -new \"%1\"", link, "\"C:\\b.exe\" -new  " + link},
        {"b.exe -new %1 -after", link, "b.exe -new  " + link},
        {"b.exe -new", link, "b.exe -new " + link},
        {"\x83\x5C\x95\x5C \"%1\"", link, "\x83\x5C\x95\x5C  " + link},  // "ソ表": second bytes 0x5C
        {"b \x81\"%1\"", link, "b \x81\" " + link},  // 0x81 0x22 is one character: its quote starts nothing
        {fits, "x", fits + " x"},
        {fits + "a", "x", std::nullopt}};
    for (const auto& [registered, target, started] : cases)
        EXPECT_EQ(LinkCommandLine(registered, target), started) << registered;
}

constexpr char kRecordFlag[] = "--record";
std::string RecordFile() {
    char temp[MAX_PATH] = {};
    return std::string(temp, ::GetTempPathA(MAX_PATH, temp)) + "arrayforge-link-started.txt";
}

// The key's default values are read over the key name (the command key into
// the buffer that held its name), so the fallback shows ReadDefaultRegValue too.
TEST(LinkLauncher, WhenTheShellCannotTheProgramForPagesIsStarted) {
    HKEY root = nullptr;
    ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Arrayforge tests\\Link classes");
    ASSERT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, "Software\\Arrayforge tests\\Link classes", &root), ERROR_SUCCESS);
    ASSERT_EQ(::RegOverridePredefKey(HKEY_CLASSES_ROOT, root), ERROR_SUCCESS);
    ::DeleteFileA(RecordFile().c_str());
    // No ".htm": the shell's failure (SE_ERR_NOASSOC) and nothing else.
    EXPECT_EQ(OpenLink("https://x.example/", SW_SHOWNORMAL), SE_ERR_NOASSOC);
    const std::string program = std::string("\"").append(ProgramPath()).append("\" ").append(kRecordFlag);
    ::RegSetValueA(root, ".htm", REG_SZ, "TestPage", 0);
    ::RegSetValueA(root, "TestPage\\shell\\open\\command", REG_SZ, (program + " -new \"%1\" -after").c_str(), 0);
    EXPECT_GT(OpenLink("https://x.example/", SW_SHOWMINNOACTIVE), 31);
    std::string started;
    EXPECT_TRUE(WaitFor([&] { return !!std::getline(std::ifstream(RecordFile()), started); }));
    EXPECT_EQ(started, std::to_string(SW_SHOWMINNOACTIVE) + " " + program + " -new  https://x.example/");
    // A command key without a command: the link alone is the line started.
    ::RegDeleteKeyValueA(root, "TestPage\\shell\\open\\command", nullptr);
    EXPECT_EQ(OpenLink("https://x.example/", SW_SHOWMINNOACTIVE), ERROR_FILE_NOT_FOUND) << "no such program";
    ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    ::RegCloseKey(root);
}

int main(int argc, char** argv) {
    if (argc >= 2 && std::string_view(argv[1]) == kRecordFlag) {
        // Started by the fallback: writes "<show command> <command line>" to RecordFile().
        STARTUPINFOA startup{};
        ::GetStartupInfoA(&startup);
        std::ofstream(RecordFile() + ".part") << ((startup.dwFlags & STARTF_USESHOWWINDOW) ? startup.wShowWindow : -1)
                                              << ' ' << ::GetCommandLineA() << '\n';
        return ::MoveFileA((RecordFile() + ".part").c_str(), RecordFile().c_str()) ? 0 : 1;
    }
    EnableCommonControls();
    SetFailureReporter(&RecordFailure);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
