// The real main dialog, created modeless in this process and driven with
// the messages its fields and the shell send: the enabling rule of Convert
// and the drop handler. (tests/win/e2e drives the whole program.)

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/win/ui/RegistryFixture.h"
#include "ui/MainDialog.h"
#include "winfw/App.h"

namespace {

class MainDialog : public SettingsKeyTest {
protected:
    void SetUp() override {
        SettingsKeyTest::SetUp();
        EnableCommonControls();
        g_bTopWin = 0;
    }
    void TearDown() override {
        m_dialog.reset();
        SettingsKeyTest::TearDown();
    }

    CMainDialog& Open() {
        m_dialog = std::make_unique<CMainDialog>();
        EXPECT_TRUE(m_dialog->Create(nullptr));
        return *m_dialog;
    }
    HWND Item(int id) const { return ::GetDlgItem(m_dialog->Hwnd(), id); }
    void Type(int id, const std::string& text) { ::SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }
    std::string Text(int id) const {
        char buffer[1024] = {};
        ::GetWindowTextA(Item(id), buffer, sizeof buffer);
        return buffer;
    }
    bool ConvertEnabled() const { return ::IsWindowEnabled(Item(IDC_CONVERT)) != FALSE; }

    // A drop as the shell makes it: a DROPFILES block followed by the
    // zero-separated file names, at a point in the dialog's client area.
    void Drop(const std::vector<std::string>& files, POINT point) {
        std::string names;
        for (const std::string& file : files) names.append(file).push_back('\0');
        names.push_back('\0');
        HGLOBAL memory = ::GlobalAlloc(GHND, sizeof(DROPFILES) + names.size());
        auto* header = static_cast<DROPFILES*>(::GlobalLock(memory));
        header->pFiles = sizeof(DROPFILES);
        header->pt = point;
        header->fNC = FALSE;
        header->fWide = FALSE;
        std::memcpy(reinterpret_cast<char*>(header) + sizeof(DROPFILES), names.data(), names.size());
        ::GlobalUnlock(memory);
        ::SendMessageA(m_dialog->Hwnd(), WM_DROPFILES, reinterpret_cast<WPARAM>(memory), 0);
    }
    // The centre of control `id` in the dialog's client coordinates.
    POINT CentreOf(int id) const {
        RECT rect{};
        ::GetWindowRect(Item(id), &rect);
        POINT centre{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ::ScreenToClient(m_dialog->Hwnd(), &centre);
        return centre;
    }

    std::unique_ptr<CMainDialog> m_dialog;
};

TEST_F(MainDialog, ConvertNeedsTextInBothFields) {
    Open();
    EXPECT_FALSE(ConvertEnabled()) << "disabled when the window opens";
    Type(IDC_SOURCE_PATH, "C:\\a.bin");
    EXPECT_FALSE(ConvertEnabled());
    Type(IDC_OUTPUT_PATH, "C:\\a.c");
    EXPECT_TRUE(ConvertEnabled());
    // A field whose whole text is selected still holds that text.
    ::SetFocus(Item(IDC_SOURCE_PATH));
    ::SendMessageA(Item(IDC_SOURCE_PATH), EM_SETSEL, 0, -1);
    Type(IDC_OUTPUT_PATH, "C:\\b.c");
    EXPECT_TRUE(ConvertEnabled());
    Type(IDC_SOURCE_PATH, "");
    EXPECT_FALSE(ConvertEnabled());
}

TEST_F(MainDialog, DropOnTheInputFieldFillsBothPathsFromTheFirstFile) {
    Open();
    Drop({"C:\\data\\pack.tar.gz", "C:\\other\\two.bin", "C:\\other\\three.bin"}, CentreOf(IDC_SOURCE_PATH));
    EXPECT_EQ(Text(IDC_SOURCE_PATH), "C:\\data\\pack.tar.gz");
    EXPECT_EQ(Text(IDC_OUTPUT_PATH), "C:\\data\\pack.tar.c");
    EXPECT_TRUE(ConvertEnabled());
}

TEST_F(MainDialog, DropElsewhereOrTooLongChangesNothing) {
    Open();
    for (int target : {IDC_OUTPUT_PATH, IDC_CONVERT, IDC_TOPMOST}) Drop({"C:\\x.bin"}, CentreOf(target));
    Drop({"C:\\x.bin"}, POINT{2, 2});  // the dialog's own background
    EXPECT_EQ(Text(IDC_SOURCE_PATH), "");
    EXPECT_EQ(Text(IDC_OUTPUT_PATH), "");
    Drop({"C:\\" + std::string(300, 'n') + ".bin"}, CentreOf(IDC_SOURCE_PATH));
    EXPECT_EQ(Text(IDC_SOURCE_PATH), "") << "a path longer than MAX_PATH is refused, not cut";
    std::string longest = "C:\\" + std::string(MAX_PATH - 1 - 3 - 1, 'n');  // 258 bytes; with ".c" 260
    Drop({longest}, CentreOf(IDC_SOURCE_PATH));
    EXPECT_EQ(Text(IDC_SOURCE_PATH), "") << "its output would not fit";
}

}  // namespace
