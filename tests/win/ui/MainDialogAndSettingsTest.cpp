// The program's dialogs and settings in this process: the settings against
// the registry of the test's Wine prefix (what each stored value loads as,
// and what is written back), the real main dialog created modeless (the
// drop handler, when Convert can be clicked, its settings and its part as
// the main window).

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstring>

#include "res/resource.h"
#include "tests/support/TestSupport.h"
#include "tests/win/winfw/TestSupportWin.h"
#include "ui/FailureReport.h"
#include "ui/MainDialog.h"
#include "ui/Settings.h"
#include "winfw/App.h"
#include "winfw/MessageBoxes.h"

// Element type, last folder and switch as loaded.
std::tuple<ElementType, std::string, BOOL> Load() {
    const Settings settings = Settings::Load();
    return {settings.elementType, settings.lastDir, settings.topMost};
}

std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

// (The registry key's reads are seen through the settings.)
TEST(Settings, EachStoredValueLoadsAsItselfOrItsDefault) {
    char directory[MAX_PATH];
    const std::string here = std::string(directory, ::GetCurrentDirectoryA(MAX_PATH, directory)) + "\\";
    const std::string filling(kLastDirSize - 1, 'f');
    // Value stored (none: no key at all), its type and bytes; what loads.
    const std::tuple<const char*, DWORD, std::string, std::tuple<ElementType, std::string, BOOL>> cases[] = {
        {nullptr, 0, "", {ElementType::Char, here, 0}},
        {"DataType", REG_DWORD, Dword(2), {ElementType::Ulong, here, 0}},
        {"DataType", REG_DWORD, Dword(3), {ElementType::Char, here, 0}},  // outside 0 to 2
        {"DataType", REG_DWORD, Dword(1).substr(0, 3), {ElementType::Char, here, 0}},
        {"DataType", REG_BINARY, Dword(1), {ElementType::Char, here, 0}},
        {"LastDir", REG_SZ, "D:\\x\\", {ElementType::Char, "D:\\x\\", 0}},  // stored without its zero
        {"LastDir", REG_DWORD, Dword(7), {ElementType::Char, here, 0}},
        {"LastDir", REG_SZ, std::string(kLastDirSize, 'd'), {ElementType::Char, here, 0}},  // no room for its zero
        {"LastDir", REG_SZ, filling + '\0', {ElementType::Char, filling, 0}},  // fills the buffer with its zero
        {"TopWin", REG_DWORD, Dword(5), {ElementType::Char, here, 5}},
        {"TopWin", REG_BINARY, Dword(1), {ElementType::Char, here, 0}}};
    for (const auto& [name, type, bytes, loaded] : cases) {
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
        if (name != nullptr) ::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, type, bytes.data(), bytes.size());
        EXPECT_EQ(Load(), loaded) << (name ? name : "none") << " " << testing::PrintToString(bytes);
    }
    // Current directory, the folder loaded: a root has its backslash; 255 bytes leave no room for one.
    const std::string longest = "C:\\" + std::string(kLastDirSize - 5, 'd');  // 254 bytes
    for (const auto& [current, loaded] :
         {std::pair{std::string("C:\\"), std::string("C:\\")}, {longest, longest + "\\"}, {longest + "e", ""}}) {
        ::CreateDirectoryA(current.c_str(), nullptr);
        ASSERT_TRUE(::SetCurrentDirectoryA(current.c_str())) << current;
        EXPECT_EQ(std::get<1>(Load()), loaded) << current.size();
    }
    ::SetCurrentDirectoryA(directory);
}

// A failure the report does not know is left to unwind, not taken as shown.
TEST(FailureReport, LeavesAFailureItDoesNotKnowToUnwind) {
    try {
        throw 42;
    } catch (...) {
        EXPECT_FALSE(ShowFailureReport());
    }
}

TEST(MainDialog, MinimisedIconSitsInTheMiddleAnOddPixelRightOrDown) {
    const POINT wider = MinimisedIconOrigin({10, 10, 51, 40}, 32, 32),
                narrower = MinimisedIconOrigin({0, 0, 40, 29}, 32, 32);
    EXPECT_TRUE(wider.x == 5 && wider.y == 0 && narrower.x == 4 && narrower.y == -1);
}

bool Topmost(HWND window) { return (::GetWindowLongA(window, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

// Its answer to WM_INITDIALOG: TRUE lets the dialog manager focus the first
// tab stop (under Wine the activation of the visible window would hide a FALSE).
struct InitAnswer : CMainDialog {
    BOOL answer = FALSE;
    BOOL OnInitDialog() override { return answer = CMainDialog::OnInitDialog(); }
};

TEST(MainDialog, IsTheMainWindowWithItsSettingsFromInitialisationToDestruction) {
    EnableCommonControls();
    Settings{ElementType::Uint, "C:\\", 1}.Save();
    InitAnswer dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    EXPECT_TRUE(dialog.answer);
    EXPECT_EQ(AppMainWindow(), dialog.Hwnd());
    EXPECT_EQ(::GetFocus(), dialog.GetDlgItem(IDC_SOURCE_PATH)) << "the first tab stop";
    EXPECT_TRUE((::GetWindowLongA(dialog.Hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) &&
                ::SendMessageA(dialog.Hwnd(), WM_GETICON, ICON_SMALL, 0) &&
                ::SendMessageA(dialog.Hwnd(), WM_GETICON, ICON_BIG, 0))
        << "takes drops, shows its icons";
    EXPECT_NE(::GetMenuState(::GetSystemMenu(dialog.Hwnd(), FALSE), IDM_ABOUTBOX, MF_BYCOMMAND), UINT(-1));
    const HWND tip = ToolTipOf(dialog.Hwnd());
    EXPECT_TRUE(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0) == 1 &&
                ::SendDlgItemMessageA(dialog.Hwnd(), IDC_BROWSE, BM_GETIMAGE, IMAGE_BITMAP, 0))
        << "the Browse button's tip and picture";
    ::ShowWindow(dialog.Hwnd(), SW_SHOW);  // active: a tip shows over the active window only
    EXPECT_TRUE(TipShowsOnRelayedMove(dialog, dialog.GetDlgItem(IDC_BROWSE), tip)) << "moves reach the tip";
    // The stored type and switch, the dialog placed above other windows (none else is topmost here).
    EXPECT_TRUE(::IsDlgButtonChecked(dialog.Hwnd(), IDC_TYPE_2BYTE) &&
                ::IsDlgButtonChecked(dialog.Hwnd(), IDC_TOPMOST) && Topmost(dialog.Hwnd()));
    ::SendDlgItemMessageA(dialog.Hwnd(), IDC_TYPE_4BYTE, BM_CLICK, 0, 0);
    ::SendDlgItemMessageA(dialog.Hwnd(), IDC_TOPMOST, BM_CLICK, 0, 0);
    EXPECT_FALSE(Topmost(dialog.Hwnd()));
    ::DestroyWindow(dialog.Hwnd());
    EXPECT_EQ(AppMainWindow(), nullptr);
    EXPECT_EQ(Load(), std::make_tuple(ElementType::Ulong, std::string("C:\\"), BOOL{0})) << "saved";
    DWORD size = 0;  // the folder stored with its zero, as any reader of the key expects
    EXPECT_EQ(
        ::RegGetValueA(HKEY_CURRENT_USER, kSettingsKey, "LastDir", RRF_RT_ANY | RRF_NOEXPAND, nullptr, nullptr, &size) +
            size,
        4u);
}

// A run of the real main dialog, shown modal, Convert clicked as it
// initialises: `sent` goes to it as the run starts (the window still
// enabled), and input messages are posted to it. No box at the end: a quit
// request ends the dialog unless the run did, and each loop that sees it
// (the run's, the dialog's) passes it on to the next.
struct WatchedRun : CMainDialog {
    std::string input, output;
    std::pair<UINT, WPARAM> sent;
    std::vector<UINT> reached;  // the posted messages that reached the dialog
    std::vector<LRESULT> bar;   // the bar's position at the start, at the done box, at the end
    BOOL iconic = FALSE, convertAfter = FALSE;

    BOOL OnInitDialog() override {
        const BOOL answer = CMainDialog::OnInitDialog();
        ::SetDlgItemTextA(Hwnd(), IDC_SOURCE_PATH, input.c_str());
        ::SetDlgItemTextA(Hwnd(), IDC_OUTPUT_PATH, output.c_str());
        ::SendDlgItemMessageA(Hwnd(), IDC_PROGRESS, PBM_SETPOS, 50, 0);
        ::PostMessageA(Hwnd(), WM_COMMAND, IDC_CONVERT, 0);
        return answer;
    }
    void Started() override {
        Send(sent.first, sent.second);
        iconic = ::IsIconic(Hwnd());
        for (UINT message : kPosted) ::PostMessageA(Hwnd(), message, 0, 0);
        CMainDialog::Started();
        bar.push_back(Position());
    }
    void ShowDone() override {
        bar.push_back(Position());
        ::PostQuitMessage(5);
    }
    void Finished() override {
        CMainDialog::Finished();
        bar.push_back(Position());
    }
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        if (std::count(std::begin(kPosted), std::end(kPosted), message)) reached.push_back(message);
        if (message == WM_DESTROY) convertAfter = ::IsWindowEnabled(GetDlgItem(IDC_CONVERT));
        return CMainDialog::OnWndMsg(message, wParam, lParam, result);
    }
    LRESULT Position() const { return ::SendDlgItemMessageA(Hwnd(), IDC_PROGRESS, PBM_GETPOS, 0, 0); }

    // The first six are the bounds of the input messages dropped during a run; the others, just outside, are not.
    static constexpr UINT kPosted[] = {WM_KEYFIRST,    WM_KEYLAST,         WM_MOUSEFIRST,      WM_MOUSELAST,
                                       WM_NCMOUSEMOVE, WM_NCXBUTTONDBLCLK, WM_NCMOUSEMOVE - 1, WM_NCXBUTTONDBLCLK + 1,
                                       WM_KEYLAST + 1, WM_MOUSEFIRST - 1,  WM_MOUSELAST + 1};
};

TEST(MainDialog, RunTakesNoInputAndKeepsOnlyARequestToEndForItsEnd) {
    testing_support::ScratchFolder folder;
    // Whole chunks of 28 KiB: the last one fills the bar.
    testing_support::WriteBytes(folder / "in.bin", testing_support::Pattern(40 * 28672));
    // Sent as the run starts; how the dialog ends; whether Convert can be clicked after the run.
    const std::tuple<UINT, WPARAM, INT_PTR, BOOL> cases[] = {
        {WM_NULL, 0, CDialog::kNotEnded, FALSE},
        {WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), IDCANCEL, FALSE},
        {WM_COMMAND, MAKEWPARAM(IDCANCEL, 1), IDCANCEL, FALSE},            // from an accelerator
        {WM_COMMAND, MAKEWPARAM(IDCANCEL, 2), CDialog::kNotEnded, FALSE},  // a notification, not a click
        {WM_COMMAND, IDC_EXIT, 0, FALSE},
        {WM_COMMAND, IDC_CONVERT, CDialog::kNotEnded, FALSE},     // refused, not taken for Exit
        {WM_SYSCOMMAND, SC_CLOSE | 0x3, IDCANCEL, FALSE},         // the low four bits are the system's
        {WM_SYSCOMMAND, SC_MINIMIZE, CDialog::kNotEnded, FALSE},  // any other goes through
        {WM_COMMAND, MAKEWPARAM(IDC_OUTPUT_PATH, EN_CHANGE), CDialog::kNotEnded, TRUE}};  // Convert follows the fields
    for (const auto& [message, wParam, ended, convertAfter] : cases) {
        SCOPED_TRACE(testing::Message() << message << " " << wParam);
        WatchedRun run;
        run.input = folder / "in.bin";
        run.output = folder / "out.c";
        run.sent = {message, wParam};
        EXPECT_EQ(run.DoModal(nullptr), ended);
        MSG quit{};
        EXPECT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 5) << "passed on";
        EXPECT_EQ(run.iconic, wParam == SC_MINIMIZE);
        EXPECT_EQ(run.convertAfter, convertAfter);
        EXPECT_EQ(run.reached, std::vector<UINT>(std::begin(WatchedRun::kPosted) + 6, std::end(WatchedRun::kPosted)));
        EXPECT_EQ(run.bar, (std::vector<LRESULT>{0, 100, 0}));
        ::DeleteFileA((folder / "out.c").c_str());
    }
}

TEST(MainDialog, DropOnTheInputFieldFillsBothPathsAndEnablesConvert) {
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    CMainDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    const std::string table = "C:\\\x95\x5c\\pack.tar";  // 表: second byte 0x5C
    // Where dropped, the file, the input field afterwards.
    const std::tuple<int, std::string, std::string> cases[] = {
        {IDC_OUTPUT_PATH, "C:\\x.bin", ""},
        {IDC_SOURCE_PATH, "C:\\" + std::string(300, 'n') + ".bin", ""},  // too long: refused, not cut
        {IDC_SOURCE_PATH, "C:\\" + std::string(MAX_PATH - 5, 'n'), ""},  // with ".c" 260 bytes: no room
        {IDC_SOURCE_PATH, "C:\\" + std::string(MAX_PATH - 6, 'm'),
         "C:\\" + std::string(MAX_PATH - 6, 'm')},  // 259 with ".c"
        {IDC_SOURCE_PATH, "C:\\" + std::string(MAX_PATH - 8, 'k') + ".bin",
         "C:\\" + std::string(MAX_PATH - 8, 'k') + ".bin"},  // 259 bytes
        {IDC_SOURCE_PATH, table + ".gz", table + ".gz"}};
    for (const auto& [target, file, after] : cases) {
        RECT rect{};
        ::GetWindowRect(dialog.GetDlgItem(target), &rect);
        ::MapWindowPoints(nullptr, dialog.Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
        // A drop as the shell makes it; the second zero after the name comes from GHND.
        HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + file.size() + 2);
        auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
        *header =
            DROPFILES{sizeof(DROPFILES), {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, FALSE, FALSE};
        std::memcpy(header + 1, file.c_str(), file.size() + 1);
        ::GlobalUnlock(memory);
        ::SendMessageA(dialog.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
        EXPECT_EQ(TextOf(dialog.GetDlgItem(IDC_SOURCE_PATH)), after) << file;
    }
    EXPECT_EQ(TextOf(dialog.GetDlgItem(IDC_OUTPUT_PATH)), table + ".c");
    EXPECT_TRUE(::IsWindowEnabled(dialog.GetDlgItem(IDC_CONVERT)))
        << "enabled by the first drop that filled the fields";
    ::SetDlgItemTextA(dialog.Hwnd(), IDC_OUTPUT_PATH, "");
    EXPECT_FALSE(::IsWindowEnabled(dialog.GetDlgItem(IDC_CONVERT))) << "both fields must hold text";
    ::SetDlgItemTextA(dialog.Hwnd(), IDC_SOURCE_PATH, "a");
    ::SetDlgItemTextA(dialog.Hwnd(), IDC_OUTPUT_PATH, "b");
    EXPECT_TRUE(::IsWindowEnabled(dialog.GetDlgItem(IDC_CONVERT))) << "one character each is enough";
}
