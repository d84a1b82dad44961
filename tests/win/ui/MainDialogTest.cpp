// The real main dialog, created hidden-free but modeless in this process,
// driven with the messages its controls and the shell would send.

#include <windows.h>

#include <commctrl.h>
#include <shellapi.h>
#include <shlobj.h>

#include <cstring>

#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/support/TestSupport.h"
#include "tests/win/ui/RegistryFixture.h"
#include "ui/MainDialog.h"
#include "winfw/App.h"

using namespace testing_support;

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
    void Close() {
        ::DestroyWindow(m_dialog->Hwnd());
        m_dialog.reset();
    }
    HWND Item(int id) const { return ::GetDlgItem(m_dialog->Hwnd(), id); }
    void Type(int id, const std::string& text) { ::SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str())); }
    std::string Text(int id) const {
        char buffer[1024] = {};
        ::GetWindowTextA(Item(id), buffer, sizeof buffer);
        return buffer;
    }
    bool ConvertEnabled() const { return ::IsWindowEnabled(Item(IDC_CONVERT)) != FALSE; }
    void Click(int id) { ::SendMessageA(Item(id), BM_CLICK, 0, 0); }
    bool Checked(int id) const { return ::SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    int Progress() const { return static_cast<int>(::SendMessageA(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0)); }

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

TEST_F(MainDialog, DropDoesNotChangeTheStoredFolder) {
    StoreText("LastDir", "D:\\x\\y\\");
    Open();
    Drop({"C:\\elsewhere\\file.bin"}, CentreOf(IDC_SOURCE_PATH));
    Close();
    EXPECT_EQ(Read("LastDir").bytes, std::string("D:\\x\\y\\", 8));
}

TEST_F(MainDialog, StoredTypeAndSwitchAreShownAndSavedBack) {
    StoreDword("DataType", 1);
    StoreDword("TopWin", 1);
    Open();
    EXPECT_TRUE(Checked(IDC_TYPE_2BYTE));
    EXPECT_FALSE(Checked(IDC_TYPE_1BYTE));
    EXPECT_TRUE(Checked(IDC_TOPMOST));
    EXPECT_TRUE(::GetWindowLongA(m_dialog->Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST);

    Click(IDC_TYPE_4BYTE);
    EXPECT_FALSE(Checked(IDC_TYPE_2BYTE));
    Click(IDC_TOPMOST);
    EXPECT_FALSE(::GetWindowLongA(m_dialog->Hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST) << "an ordinary window at once";
    EXPECT_EQ(g_bTopWin, 0);
    Close();
    EXPECT_EQ(Read("DataType").bytes, DwordBytes(2));
    EXPECT_EQ(Read("TopWin").bytes, DwordBytes(0));
}

TEST_F(MainDialog, StoredTypeOutsideTheRangeChecksChar) {
    StoreDword("DataType", 9);
    Open();
    EXPECT_TRUE(Checked(IDC_TYPE_1BYTE));
    Close();
    EXPECT_EQ(Read("DataType").bytes, DwordBytes(0));
}

TEST_F(MainDialog, SystemMenuEndsWithTheAboutItem) {
    Open();
    HMENU menu = ::GetSystemMenu(m_dialog->Hwnd(), FALSE);
    int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    char text[64] = {};
    ::GetMenuStringA(menu, count - 1, text, sizeof text, MF_BYPOSITION);
    EXPECT_EQ(std::string(text), "\xCA\xDE\xB0\xBC\xDE\xAE\xDD\x8F\xEE\x95\xF1(&A)...");
    MENUITEMINFOA separator{};
    separator.cbSize = sizeof separator;
    separator.fMask = MIIM_FTYPE;
    ::GetMenuItemInfoA(menu, count - 2, TRUE, &separator);
    EXPECT_TRUE(separator.fType & MFT_SEPARATOR);
}

TEST_F(MainDialog, ConvertRunsWithTheDialogAsSinkAndOwner) {
    ScratchFolder folder;
    WriteBytes(folder / "in.bin", Pattern(57344));
    ScriptedMessageBoxes boxes;
    ScopedMessageBoxHost host(boxes);
    Open();
    Click(IDC_TYPE_2BYTE);
    Type(IDC_SOURCE_PATH, folder / "in.bin");
    Type(IDC_OUTPUT_PATH, folder / "out.c");
    Click(IDC_CONVERT);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_TRUE(boxes.Shown()[0].appBox);
    EXPECT_NE(ReadBytes(folder / "out.c").find("\tUINT rawcontents[] = {"), std::string::npos);
    EXPECT_FALSE(ConvertEnabled()) << "stays disabled after a run";
    EXPECT_EQ(Progress(), 0);
    Type(IDC_OUTPUT_PATH, folder / "out2.c");
    EXPECT_TRUE(ConvertEnabled()) << "a field change enables it again";

    Type(IDC_SOURCE_PATH, folder / "missing.bin");
    Click(IDC_CONVERT);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[1].owner, static_cast<WindowRef>(m_dialog->Hwnd()));
}

TEST_F(MainDialog, SinkDrivesTheProgressBar) {
    CMainDialog& dialog = Open();
    Type(IDC_SOURCE_PATH, "a");
    Type(IDC_OUTPUT_PATH, "b");
    dialog.Started();
    EXPECT_FALSE(ConvertEnabled());
    EXPECT_EQ(::SendMessageA(Item(IDC_PROGRESS), PBM_GETRANGE, FALSE, 0), 100);
    dialog.Advance(57);
    EXPECT_EQ(Progress(), 57);
    dialog.Finished();
    EXPECT_EQ(Progress(), 0);
}

}  // namespace
