// The real main dialog, created modeless in this process: the drop handler
// and when Convert can be clicked.

#include <windows.h>

#include <shellapi.h>
#include <shlobj.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "res/resource.h"
#include "ui/MainDialog.h"
#include "winfw/App.h"

namespace {

TEST(MainDialog, DropOnTheInputFieldFillsBothPathsAndEnablesConvert) {
    EnableCommonControls();
    CMainDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    const std::string table = "C:\\\x95\x5c\\pack.tar";  // 表: second byte 0x5C
    const std::tuple<int, std::string, std::string> cases[] = {
        // Where dropped, the file, the input field afterwards.
        {IDC_OUTPUT_PATH, "C:\\x.bin", ""},
        {IDC_SOURCE_PATH, "C:\\" + std::string(300, 'n') + ".bin", ""},      // too long: refused, not cut
        {IDC_SOURCE_PATH, "C:\\" + std::string(MAX_PATH - 5, 'n'), ""},  // with ".c" 260 bytes: no room
        {IDC_SOURCE_PATH, table + ".gz", table + ".gz"},
    };
    for (const auto& [target, file, after] : cases) {
        EXPECT_FALSE(::IsWindowEnabled(dialog.GetDlgItem(IDC_CONVERT)));
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
    EXPECT_TRUE(::IsWindowEnabled(dialog.GetDlgItem(IDC_CONVERT)));
    ::SetDlgItemTextA(dialog.Hwnd(), IDC_OUTPUT_PATH, "");
    EXPECT_FALSE(::IsWindowEnabled(dialog.GetDlgItem(IDC_CONVERT))) << "both fields must hold text";
}

}  // namespace
