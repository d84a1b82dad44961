// The program's compiled resources, read back from this test program, which
// links them as the program does: checked against the program's own ids,
// texts and version, not against a second copy of the resource script.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>

#include "app/Texts.h"
#include "app/Version.h"
#include "res/resource.h"

namespace {

HINSTANCE Self() { return ::GetModuleHandleA(nullptr); }

INT_PTR CALLBACK NoProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

TEST(Resources, TemplatesHoldTheControlsTheCodeBinds) {
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&classes);
    struct Case {
        WORD dialog;
        int control;
        const char* windowClass;
    } const cases[] = {
        {IDD_MAIN, IDC_SOURCE_PATH, "Edit"},   {IDD_MAIN, IDC_OUTPUT_PATH, "Edit"},    {IDD_MAIN, IDC_BROWSE, "Button"},
        {IDD_MAIN, IDC_TYPE_1BYTE, "Button"},  {IDD_MAIN, IDC_TYPE_2BYTE, "Button"},   {IDD_MAIN, IDC_TYPE_4BYTE, "Button"},
        {IDD_MAIN, IDC_CONVERT, "Button"},     {IDD_MAIN, IDC_HELP_BUTTON, "Button"},  {IDD_MAIN, IDC_EXIT, "Button"},
        {IDD_MAIN, IDC_TOPMOST, "Button"},     {IDD_MAIN, IDC_PROGRESS, PROGRESS_CLASSA},
        {IDD_ABOUT, IDC_MAIL_LINK, "Static"},  {IDD_ABOUT, IDC_SITE_LINK, "Static"},   {IDD_ABOUT, IDOK, "Button"},
    };
    for (const Case& c : cases) {
        HWND dialog = ::CreateDialogParamA(Self(), MAKEINTRESOURCEA(c.dialog), nullptr, &NoProc, 0);
        ASSERT_NE(dialog, nullptr) << "template " << c.dialog;
        EXPECT_EQ(ClassOf(::GetDlgItem(dialog, c.control)), c.windowClass) << c.dialog << ": control " << c.control;
        if (c.dialog == IDD_MAIN) {
            char caption[64] = {};
            ::GetWindowTextA(dialog, caption, sizeof caption);
            EXPECT_EQ(caption, texts::kAppTitle);
        }
        ::DestroyWindow(dialog);
    }
}

TEST(Resources, StringsAreCodePage932TextAndTheTitleIsTheProgramsOwn) {
    ASSERT_EQ(::GetACP(), 932u) << "run the test with a Japanese locale (LANG=ja_JP.UTF-8 under Wine)";
    char title[64] = {};
    ::LoadStringA(Self(), IDS_APP_TITLE, title, sizeof title);
    EXPECT_EQ(title, texts::kAppTitle);
    // A script read in the wrong code page gives characters that code page
    // 932 has no form for.
    for (UINT id : {IDS_ABOUT_MENU, IDS_BROWSE_TIP}) {
        wchar_t text[64] = {};
        ASSERT_GT(::LoadStringW(Self(), id, text, 64), 0) << id;
        char bytes[128];
        BOOL lost = FALSE;
        ::WideCharToMultiByte(932, WC_NO_BEST_FIT_CHARS, text, -1, bytes, sizeof bytes, nullptr, &lost);
        EXPECT_FALSE(lost) << id;
        const std::string text932 = bytes;
        EXPECT_TRUE(std::any_of(text932.begin(), text932.end(), [](char c) { return ::IsDBCSLeadByteEx(932, c); }))
            << id << " holds a kanji or kana";
    }
}

TEST(Resources, VersionRecordHoldsTheProgramsVersion) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string block(::GetFileVersionInfoSizeA(path, nullptr), '\0');
    ASSERT_TRUE(::GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    const WORD numbers[] = {ARRAYFORGE_VERSION_NUMBERS};
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(numbers[1], numbers[0])));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(numbers[3], numbers[2])));
    EXPECT_EQ(fixed->dwProductVersionMS, fixed->dwFileVersionMS);
    EXPECT_EQ(fixed->dwProductVersionLS, fixed->dwFileVersionLS);
    const std::pair<const char*, std::string_view> strings[] = {
        {"FileVersion", ARRAYFORGE_VERSION_RECORD_TEXT},
        {"ProductVersion", ARRAYFORGE_VERSION_RECORD_TEXT},
        {"ProductName", texts::kAppTitle},
    };
    for (const auto& [name, expected] : strings) {
        char* text = nullptr;
        ASSERT_TRUE(::VerQueryValueA(block.data(), (std::string("\\StringFileInfo\\041104b0\\") + name).c_str(),
                                     reinterpret_cast<void**>(&text), &length))
            << name;
        EXPECT_EQ(text, expected) << name;
    }
}

TEST(Resources, ManifestAndImages) {
    HRSRC found = ::FindResourceA(Self(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    ASSERT_NE(found, nullptr);
    const std::string manifest(static_cast<const char*>(::LockResource(::LoadResource(Self(), found))),
                               ::SizeofResource(Self(), found));
    EXPECT_NE(manifest.find(R"(name="Microsoft.Windows.Common-Controls")"), std::string::npos);
    EXPECT_NE(manifest.find(R"(level="highestAvailable")"), std::string::npos);
    EXPECT_NE(::LoadIconA(Self(), MAKEINTRESOURCEA(IDI_APP)), nullptr);
    EXPECT_NE(::LoadBitmapA(Self(), MAKEINTRESOURCEA(IDB_BROWSE)), nullptr);
    EXPECT_NE(::LoadCursorA(Self(), MAKEINTRESOURCEA(IDC_NODROP_CURSOR)), nullptr);
}

}  // namespace
