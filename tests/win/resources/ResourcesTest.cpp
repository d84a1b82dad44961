// The program's compiled resources, read back from this test program, which
// links them as the program does: checked against the program's own ids,
// texts and version, not against a second copy of the resource script.

#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "app/Texts.h"
#include "app/Version.h"
#include "res/resource.h"

HINSTANCE Self() { return ::GetModuleHandleA(nullptr); }
INT_PTR CALLBACK NoProc(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

TEST(Resources, TemplatesHoldTheControlsTheCodeBindsAndTheTitleIsTheProgramsOwn) {
    const INITCOMMONCONTROLSEX classes{sizeof classes, ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&classes);
    const std::pair<WORD, std::vector<std::pair<int, std::string>>> dialogs[] = {
        {IDD_MAIN, {{IDC_SOURCE_PATH, "Edit"}, {IDC_OUTPUT_PATH, "Edit"}, {IDC_BROWSE, "Button"},
                    {IDC_TYPE_1BYTE, "Button"}, {IDC_TYPE_2BYTE, "Button"}, {IDC_TYPE_4BYTE, "Button"},
                    {IDC_CONVERT, "Button"}, {IDC_HELP_BUTTON, "Button"}, {IDC_EXIT, "Button"},
                    {IDC_TOPMOST, "Button"}, {IDC_PROGRESS, PROGRESS_CLASSA}}},
        {IDD_ABOUT, {{IDC_MAIL_LINK, "Static"}, {IDC_SITE_LINK, "Static"}, {IDOK, "Button"}}},
    };
    for (const auto& [id, controls] : dialogs) {
        HWND dialog = ::CreateDialogParamA(Self(), MAKEINTRESOURCEA(id), nullptr, &NoProc, 0);
        ASSERT_NE(dialog, nullptr) << "template " << id;
        for (const auto& [control, windowClass] : controls) {
            char name[64] = {};
            ::GetClassNameA(::GetDlgItem(dialog, control), name, sizeof name);
            EXPECT_EQ(name, windowClass) << id << ": control " << control;
        }
        ::DestroyWindow(dialog);
    }
    char title[64] = {};
    ::LoadStringA(Self(), IDS_APP_TITLE, title, sizeof title);
    EXPECT_EQ(title, texts::kAppTitle);
}

TEST(Resources, VersionRecordAndManifest) {
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
    for (const char* name : {"FileVersion", "ProductVersion"}) {
        char* text = nullptr;
        ASSERT_TRUE(::VerQueryValueA(block.data(), (std::string("\\StringFileInfo\\041104b0\\") + name).c_str(),
                                     reinterpret_cast<void**>(&text), &length));
        EXPECT_EQ(text, std::string(ARRAYFORGE_VERSION_RECORD_TEXT)) << name;
    }

    HRSRC found = ::FindResourceA(Self(), MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const std::string manifest(static_cast<const char*>(::LockResource(::LoadResource(Self(), found))),
                               ::SizeofResource(Self(), found));
    EXPECT_NE(manifest.find(R"(name="Microsoft.Windows.Common-Controls")"), std::string::npos);
    EXPECT_NE(manifest.find(R"(level="highestAvailable")"), std::string::npos);
}

