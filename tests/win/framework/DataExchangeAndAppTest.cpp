// Control binding and the check box exchange; the application object; a
// dialog from the program's resources; the tooltip.

#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include "TestResources.h"
#include "TestSupport.h"
#include "winfw/App.h"
#include "winfw/Controls.h"
#include "winfw/Dialog.h"

namespace {

class CheckDialog : public CDialog {
public:
    using CDialog::CDialog;
    int topMost = 0;
    int threeState = 0;
    CButton topMostBox;

protected:
    void DoDataExchange(CDataExchange& exchange) override {
        BindControl(exchange, kTopMostCheck, topMostBox);
        ExchangeCheck(exchange, kTopMostCheck, topMost);
        ExchangeCheck(exchange, kThreeStateCheck, threeState);
    }
};

class DataExchangeTest : public ::testing::Test {
protected:
    static DialogTemplate MakeTemplate() {
        DialogTemplate result;
        result.Control(kTopMostCheck, DialogTemplate::kButton, BS_AUTOCHECKBOX)
            .Control(kThreeStateCheck, DialogTemplate::kButton, BS_AUTO3STATE);
        return result;
    }
    void SetUp() override {
        PrepareWindowTests();
        ASSERT_TRUE(dialog.Create(nullptr));  // OnInitDialog binds and loads
    }
    HWND Box(WORD id) { return dialog.GetDlgItem(id); }
    LRESULT State(WORD id) { return ::SendMessageA(Box(id), BM_GETCHECK, 0, 0); }
    void SetState(WORD id, WPARAM state) { ::SendMessageA(Box(id), BM_SETCHECK, state, 0); }

    DialogTemplate dialogTemplate = MakeTemplate();
    CheckDialog dialog{dialogTemplate.Get()};
};

TEST_F(DataExchangeTest, LoadingSetsTheCheckStateAndTakesValuesOutsideTheRangeAsUnchecked) {
    EXPECT_EQ(CWnd::FromHandle(Box(kTopMostCheck)), &dialog.topMostBox);
    struct Case {
        int value;
        LRESULT state;
    } const cases[] = {{0, BST_UNCHECKED}, {1, BST_CHECKED},   {2, BST_INDETERMINATE},
                       {3, BST_UNCHECKED}, {-1, BST_UNCHECKED}, {0x10001, BST_UNCHECKED}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value);
        SetState(kThreeStateCheck, BST_CHECKED);  // so that "unchecked" has to be set
        dialog.threeState = c.value;
        EXPECT_TRUE(dialog.UpdateData(false));
        EXPECT_EQ(State(kThreeStateCheck), c.state);
        EXPECT_EQ(dialog.threeState, static_cast<int>(c.state));
    }
}

TEST_F(DataExchangeTest, SavingReadsTheCheckStateBack) {
    ::SendMessageA(Box(kTopMostCheck), BM_CLICK, 0, 0);
    SetState(kThreeStateCheck, BST_INDETERMINATE);
    EXPECT_TRUE(dialog.UpdateData(true));
    EXPECT_EQ(dialog.topMost, 1);
    EXPECT_EQ(dialog.threeState, 2);
    EXPECT_EQ(dialog.topMostBox.Hwnd(), Box(kTopMostCheck));  // bound once, still bound
}

// --- Application object and resource dialogs ---------------------------------

TEST(AppTest, RunSetsTitleAndHelpPathThenCallsInitInstanceOnce) {
    struct RecordingApp : CApp {
        int calls = 0;
        std::string title, helpPath;
        bool InitInstance() override {
            ++calls;
            title = Title();
            helpPath = HelpFilePath();
            return false;
        }
    } app;
    EXPECT_EQ(CApp::Current(), &app);
    EXPECT_EQ(app.Run(), 0);
    EXPECT_EQ(app.calls, 1);
    EXPECT_EQ(app.title, "Framework test app");  // string 57344 of the program
    char program[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, program, MAX_PATH);
    const std::string path = program;
    ASSERT_EQ(path.substr(path.size() - 4), ".exe");
    EXPECT_EQ(app.helpPath, path.substr(0, path.size() - 4) + ".HLP");
    SetAppTitle("Arrayforge");
}

TEST(ResourceDialogTest, DialogFromTheProgramsTemplateRunsModally) {
    PrepareWindowTests();
    struct ResourceDialog : CDialog {
        ResourceDialog() : CDialog(IDD_RESOURCE_DIALOG) {}
        bool hasEdit = false;
        BOOL OnInitDialog() override {
            hasEdit = GetDlgItem(kInputEdit) != nullptr;
            ::PostMessageA(Hwnd(), WM_CLOSE, 0, 0);
            return CDialog::OnInitDialog();
        }
    } dialog;
    EXPECT_EQ(dialog.DoModal(), IDCANCEL);
    EXPECT_TRUE(dialog.hasEdit);
    EXPECT_EQ(CDialog(4242).DoModal(), CDialog::kNotEnded);  // no such template
}

// --- Tooltip ------------------------------------------------

class ControlsTest : public ::testing::Test {
protected:
    static DialogTemplate MakeTemplate() {
        DialogTemplate result;
        result.Control(kConvertButton, DialogTemplate::kButton, BS_PUSHBUTTON)
            .Control(kExitButton, DialogTemplate::kButton, BS_PUSHBUTTON);
        return result;
    }
    void SetUp() override {
        PrepareWindowTests();
        ASSERT_TRUE(dialog.Create(nullptr));
    }
    DialogTemplate dialogTemplate = MakeTemplate();
    CDialog dialog{dialogTemplate.Get()};
};

TEST_F(ControlsTest, ToolTipIsAnOwnedPopupWithToolsIdentifiedByWindow) {
    CToolTipCtrl tip;
    ASSERT_TRUE(tip.Create(dialog.Hwnd(), TTS_ALWAYSTIP));
    EXPECT_EQ(::GetWindowLongA(tip.Hwnd(), GWL_STYLE) & (WS_POPUP | TTS_ALWAYSTIP), WS_POPUP | TTS_ALWAYSTIP);
    EXPECT_EQ(::GetWindow(tip.Hwnd(), GW_OWNER), dialog.Hwnd());
    tip.Activate(true);
    HWND convert = dialog.GetDlgItem(kConvertButton);
    HWND exitButton = dialog.GetDlgItem(kExitButton);
    EXPECT_TRUE(tip.AddTool(convert, IDS_TOOL_TIP, ::GetModuleHandleA(nullptr)));
    EXPECT_TRUE(tip.AddTool(exitButton, "Leave"));

    auto textOf = [&](HWND tool) {
        char text[80] = {};
        TOOLINFOA info{};
        info.cbSize = TTTOOLINFOA_V2_SIZE;
        info.hwnd = dialog.Hwnd();  // the tool's parent, with the tool's handle as its id
        info.uId = reinterpret_cast<UINT_PTR>(tool);
        info.lpszText = text;
        ::SendMessageA(tip.Hwnd(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&info));
        return std::string(text);
    };
    EXPECT_EQ(textOf(convert), "Open a file");  // loaded by the tooltip from the string resource
    EXPECT_EQ(textOf(exitButton), "Leave");
}

}  // namespace
