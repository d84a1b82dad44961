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

std::string TextOf(HWND window) {
    char text[1024] = {};
    ::GetWindowTextA(window, text, sizeof text);
    return text;
}

TEST(MainDialog, DropOnTheInputFieldFillsBothPathsAndEnablesConvert) {
    EnableCommonControls();
    CMainDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    const HWND input = dialog.GetDlgItem(IDC_SOURCE_PATH);
    const HWND output = dialog.GetDlgItem(IDC_OUTPUT_PATH);
    const std::string longest = "C:\\" + std::string(MAX_PATH - 1 - 3 - 1, 'n');  // with ".c" 260 bytes
    const std::string table = "C:\\\x95\x5c\\pack.tar";                             // 表: second byte 0x5C
    const std::tuple<HWND, std::string, std::string> cases[] = {
        // Where dropped (null: the dialog's corner), the file, the input field afterwards.
        {output, "C:\\x.bin", ""},
        {nullptr, "C:\\x.bin", ""},
        {input, "C:\\" + std::string(300, 'n') + ".bin", ""},  // too long: refused, not cut
        {input, longest, ""},                                  // its output would not fit
        {input, table + ".gz", table + ".gz"},
    };
    for (const auto& [target, file, after] : cases) {
        EXPECT_FALSE(::IsWindowEnabled(dialog.GetDlgItem(IDC_CONVERT)));
        RECT rect{2, 2, 2, 2};
        if (target != nullptr) {
            ::GetWindowRect(target, &rect);
            ::MapWindowPoints(nullptr, dialog.Hwnd(), reinterpret_cast<POINT*>(&rect), 2);
        }
        // A drop as the shell makes it; the second zero after the name comes from GHND.
        HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + file.size() + 2);
        auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
        *header = DROPFILES{sizeof(DROPFILES), {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2}, FALSE, FALSE};
        std::memcpy(header + 1, file.c_str(), file.size() + 1);
        ::GlobalUnlock(memory);
        ::SendMessageA(dialog.Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
        EXPECT_EQ(TextOf(input), after) << file;
    }
    EXPECT_EQ(TextOf(output), table + ".c");
    EXPECT_TRUE(::IsWindowEnabled(dialog.GetDlgItem(IDC_CONVERT)));
    ::SetWindowTextA(output, "");
    EXPECT_FALSE(::IsWindowEnabled(dialog.GetDlgItem(IDC_CONVERT))) << "both fields must hold text";
}

}  // namespace
