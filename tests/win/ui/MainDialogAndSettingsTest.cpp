// The main dialog and its settings in this process: the settings against
// the registry of the test's Wine prefix (what each stored value loads as,
// and what is written back), and the real dialog created modeless (the drop
// handler, and when Convert can be clicked).

#include <windows.h>

#include <commctrl.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <tuple>

#include "res/resource.h"
#include "ui/MainDialog.h"
#include "ui/Settings.h"
#include "winfw/App.h"

// Data type, last folder and switch (on before loading) as loaded.
std::tuple<ElementType, std::string, BOOL> Load() {
    const CRegistryKey key = OpenSettingsKey();
    char lastDir[kLastDirSize];
    BOOL topWin = 1;
    ReadLastDir(key, lastDir);
    ReadTopWin(key, topWin);
    return {ReadDataType(key), lastDir, topWin};
}

std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

TEST(Settings, EachStoredValueLoadsAsItselfOrItsDefaultAndAllAreWrittenBack) {
    char directory[MAX_PATH];
    const std::string here = std::string(directory, ::GetCurrentDirectoryA(MAX_PATH, directory)) + "\\";
    // Value stored (none: no key at all), its type and bytes; what loads.
    const std::tuple<const char*, DWORD, std::string, std::tuple<ElementType, std::string, BOOL>> cases[] = {
        {nullptr, 0, "", {ElementType::Char, here, 1}},
        {"DataType", REG_DWORD, Dword(2), {ElementType::Ulong, here, 1}},
        {"DataType", REG_DWORD, Dword(3), {ElementType::Char, here, 1}},  // outside 0 to 2
        {"LastDir", REG_SZ, std::string("D:\\x\\", 6), {ElementType::Char, "D:\\x\\", 1}},
        {"LastDir", REG_DWORD, Dword(7), {ElementType::Char, here, 1}},
        {"TopWin", REG_DWORD, Dword(0), {ElementType::Char, here, 0}},
    };
    for (const auto& [name, type, bytes, loaded] : cases) {
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
        if (name != nullptr) ::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, name, type, bytes.data(), bytes.size());
        EXPECT_EQ(Load(), loaded) << (name ? name : "none") << " " << testing::PrintToString(bytes);
    }
    WriteSettings(OpenSettingsKey(), ElementType::Uint, "C:\\Work\\", 0);
    EXPECT_EQ(Load(), std::make_tuple(ElementType::Uint, std::string("C:\\Work\\"), BOOL{0}));
    DWORD size = 0;  // the folder stored with its zero, as any reader of the key expects
    EXPECT_EQ(::RegQueryValueExA(OpenSettingsKey().Get(), "LastDir", nullptr, nullptr, nullptr, &size) + size, 9u);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    // Current directory, the folder loaded: a root has its backslash; 255 bytes leave no room for one.
    const std::string longest = "C:\\" + std::string(kLastDirSize - 5, 'd');  // 254 bytes
    for (const auto& [current, loaded] : {std::pair{std::string("C:\\"), std::string("C:\\")}, {longest, longest + "\\"}, {longest + "e", ""}}) {
        ::CreateDirectoryA(current.c_str(), nullptr);
        ASSERT_TRUE(::SetCurrentDirectoryA(current.c_str())) << current;
        EXPECT_EQ(std::get<1>(Load()), loaded) << current.size();
    }
    ::SetCurrentDirectoryA(directory);
}

TEST(MainDialog, MinimisedIconSitsInTheMiddleAnOddPixelRightOrDown) {
    const POINT wider = MinimisedIconOrigin({10, 10, 51, 40}, 32, 32), narrower = MinimisedIconOrigin({0, 0, 40, 29}, 32, 32);
    EXPECT_TRUE(wider.x == 5 && wider.y == 0 && narrower.x == 4 && narrower.y == -1);
}

TEST(MainDialog, DropOnTheInputFieldFillsBothPathsAndEnablesConvert) {
    EnableCommonControls();
    CMainDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    EXPECT_TRUE((::GetWindowLongA(dialog.Hwnd(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES) && ::SendMessageA(dialog.Hwnd(), WM_GETICON, ICON_SMALL, 0) &&
                ::SendMessageA(dialog.Hwnd(), WM_GETICON, ICON_BIG, 0)) << "takes drops, shows its icons";
    EXPECT_NE(::GetMenuState(::GetSystemMenu(dialog.Hwnd(), FALSE), IDM_ABOUTBOX, MF_BYCOMMAND), UINT(-1)) << "About in the system menu";
    EXPECT_EQ(::IsDlgButtonChecked(dialog.Hwnd(), IDC_TYPE_1BYTE), BST_CHECKED) << "the type when none is stored";
    HWND tip = nullptr;  // the dialog's, among the desktop's tooltips
    while ((tip = ::FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) && ::GetWindow(tip, GW_OWNER) != dialog.Hwnd()) {}
    EXPECT_EQ(::SendMessageA(tip, TTM_GETTOOLCOUNT, 0, 0), 1) << "the Browse button's tip";
    EXPECT_TRUE(::SendDlgItemMessageA(dialog.Hwnd(), IDC_BROWSE, BM_GETIMAGE, IMAGE_BITMAP, 0)) << "and its picture";
    const std::string table = "C:\\\x95\x5c\\pack.tar";  // 表: second byte 0x5C
    const std::tuple<int, std::string, std::string> cases[] = {
        // Where dropped, the file, the input field afterwards.
        {IDC_OUTPUT_PATH, "C:\\x.bin", ""},
        {IDC_SOURCE_PATH, "C:\\" + std::string(300, 'n') + ".bin", ""},      // too long: refused, not cut
        {IDC_SOURCE_PATH, "C:\\" + std::string(MAX_PATH - 5, 'n'), ""},  // with ".c" 260 bytes: no room
        {IDC_SOURCE_PATH, "C:\\" + std::string(MAX_PATH - 6, 'm'), "C:\\" + std::string(MAX_PATH - 6, 'm')},  // 259 with ".c"
        {IDC_SOURCE_PATH, table + ".gz", table + ".gz"},
    };
    for (const auto& [target, file, after] : cases) {
        RECT rect{};
        ::GetWindowRect(dialog.GetDlgItem(target), &rect);
        ::MapWindowPoints(nullptr, dialog.Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
        // A drop as the shell makes it; the second zero after the name comes from GHND.
        HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + file.size() + 2);
        auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
        *header = DROPFILES{sizeof(DROPFILES), {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, FALSE, FALSE};
        std::memcpy(header + 1, file.c_str(), file.size() + 1);
        ::GlobalUnlock(memory);
        ::SendMessageA(dialog.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
        char text[MAX_PATH + 1] = {};
        ::GetDlgItemTextA(dialog.Hwnd(), IDC_SOURCE_PATH, text, sizeof text);
        EXPECT_EQ(text, after) << file;
    }
    char output[MAX_PATH] = {};
    ::GetDlgItemTextA(dialog.Hwnd(), IDC_OUTPUT_PATH, output, sizeof output);
    EXPECT_EQ(output, table + ".c");
    EXPECT_TRUE(::IsWindowEnabled(dialog.GetDlgItem(IDC_CONVERT))) << "enabled by the first drop that filled the fields";
    ::SetDlgItemTextA(dialog.Hwnd(), IDC_OUTPUT_PATH, "");
    EXPECT_FALSE(::IsWindowEnabled(dialog.GetDlgItem(IDC_CONVERT))) << "both fields must hold text";
    ::SetDlgItemTextA(dialog.Hwnd(), IDC_SOURCE_PATH, "a");
    ::SetDlgItemTextA(dialog.Hwnd(), IDC_OUTPUT_PATH, "b");
    EXPECT_TRUE(::IsWindowEnabled(dialog.GetDlgItem(IDC_CONVERT))) << "one character each is enough";
}
