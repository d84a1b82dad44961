// The window layer under Wine, on the hidden dialog of FrameworkTest.rc.
// Modal dialogs are driven by messages posted while they initialise.

#include <gtest/gtest.h>

#include <functional>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestResources.h"
#include "app/ErrorReport.h"
#include "app/Texts.h"
#include "tests/support/TestSupport.h"
#include "winfw/App.h"
#include "winfw/Controls.h"
#include "winfw/Dialog.h"
#include "winfw/ErrorReporting.h"
#include "app/win32/Handles.h"

namespace {

constexpr UINT kSwallowed = WM_APP + 1;
constexpr UINT kForControl = WM_APP + 2;

void PostClick(HWND dialog, WORD id) { ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// The procedure of the FwRecorder control: answers WM_APP + 1 with 22 and
// notes whether it was the window's procedure again at WM_NCDESTROY.
bool g_ownProcAtNcDestroy = false;
LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCDESTROY)
        g_ownProcAtNcDestroy = ::GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&RecorderProc);
    if (message == WM_APP + 1) return 22;
    return ::DefWindowProcA(window, message, wParam, lParam);
}

// Ends a dialog that a fault left running: no test may hang.
void CALLBACK GiveUp(HWND dialog, UINT, UINT_PTR, DWORD) {
    static_cast<CDialog*>(CWnd::FromHandle(dialog))->EndDialog(-99);
}

class HookedEdit : public CEdit {
public:
    std::vector<std::string>* log = nullptr;
    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message == kForControl) log->push_back("control hook");
        return false;
    }
};

// Runs `script` while initialising, `fail` on Convert; Exit ends with 42.
class TestDialog : public CDialog {
public:
    explicit TestDialog(CWnd* parent = nullptr) : CDialog(IDD_TEST_DIALOG, parent) {}
    std::function<void(HWND)> script;
    std::function<void()> fail;
    int threeState = 0;
    RECT shownAt{};
    std::vector<std::string> log;

protected:
    std::span<const MessageEntry> MessageTable() const override {
        static constexpr MessageEntry kTable[] = {
            Clicked<&TestDialog::OnConvert>(IDC_CONVERT),
            Command<&TestDialog::OnInput>(EN_CHANGE, IDC_INPUT),
            Clicked<&TestDialog::OnExit>(IDC_EXIT),
            Message<&TestDialog::OnApp>(WM_APP),
        };
        return kTable;
    }
    void DoDataExchange(CDataExchange& exchange) override {
        BindControl(exchange, IDC_INPUT, m_input);
        ExchangeCheck(exchange, IDC_THREE_STATE, threeState);
    }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_input.log = &log;
        ::SetTimer(Hwnd(), 1, 5000, &GiveUp);
        if (script) script(Hwnd());
        return TRUE;
    }
    bool PreTranslateMessage(MSG& msg) override {
        ::GetWindowRect(Hwnd(), &shownAt);
        if (msg.message >= WM_APP && msg.message <= kForControl)
            log.push_back("hook " + std::to_string(msg.message - WM_APP));
        return msg.message == kSwallowed || CDialog::PreTranslateMessage(msg);
    }

private:
    void OnConvert() {
        log.push_back("convert");
        if (fail) fail();
    }
    void OnInput() { log.push_back("input"); }
    void OnExit() { EndDialog(42); }
    std::optional<LRESULT> OnApp(WPARAM, LPARAM) {
        log.push_back("handler");
        return 0;
    }
    HookedEdit m_input;
};

class FrameworkTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        const WNDCLASSA recorder{0, &RecorderProc, 0, 0, ::GetModuleHandleA(nullptr), {}, {}, {}, {}, "FwRecorder"};
        ::RegisterClassA(&recorder);
    }
    TestDialog dialog;
};

TEST_F(FrameworkTest, CommandsReachOnlyTheHandlerOfTheirControlAndCode) {
    ASSERT_TRUE(dialog.Create(nullptr));
    struct Case {
        WORD code, id;
        std::vector<std::string> expected;
    } const cases[] = {
        {BN_CLICKED, IDC_CONVERT, {"convert"}},
        {EN_CHANGE, IDC_INPUT, {"input"}},
        {EN_CHANGE, IDC_CONVERT, {}},
        {BN_CLICKED, 1099, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " from " << c.id);
        dialog.log.clear();
        ::SendMessageA(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(c.id, c.code),
                       reinterpret_cast<LPARAM>(dialog.GetDlgItem(c.id)));
        EXPECT_EQ(dialog.log, c.expected);
    }
}

TEST_F(FrameworkTest, CheckBoxLoadsZeroToTwoOtherwiseUncheckedAndSavesItsState) {
    ASSERT_TRUE(dialog.Create(nullptr));
    HWND box = dialog.GetDlgItem(IDC_THREE_STATE);
    const std::pair<int, LRESULT> cases[] = {
        {0, BST_UNCHECKED}, {1, BST_CHECKED}, {2, BST_INDETERMINATE}, {3, BST_UNCHECKED}, {-1, BST_UNCHECKED}};
    for (auto [value, state] : cases) {
        SCOPED_TRACE(value);
        ::SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);  // so that "unchecked" has to be set
        dialog.threeState = value;
        EXPECT_TRUE(dialog.UpdateData(false));
        EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), state);
        dialog.threeState = -5;
        EXPECT_TRUE(dialog.UpdateData(true));
        EXPECT_EQ(dialog.threeState, state);
    }
}

TEST_F(FrameworkTest, ModalDialogEndsWithItsCodeAndIsCentredOverItsOwnerWhichItDisables) {
    UniqueWindow ownerWindow{::CreateWindowA("STATIC", "owner", WS_POPUP | WS_VISIBLE, 300, 200, 600, 500, nullptr,
                                             nullptr, nullptr, nullptr)};
    CWnd owner;
    owner.Attach(ownerWindow.Get());
    struct Case {
        const char* name;
        std::function<void(HWND)> leave;
        INT_PTR expected;
        BOOL ownerEnabled;
    } const cases[] = {
        {"EndDialog", [](HWND d) { PostClick(d, IDC_EXIT); }, 42, TRUE},
        {"Escape in the input field",
         [](HWND d) { ::PostMessageA(::GetDlgItem(d, IDC_INPUT), WM_KEYDOWN, VK_ESCAPE, 0x00010001); }, IDCANCEL, TRUE},
        {"WM_CLOSE", [](HWND d) { ::PostMessageA(d, WM_CLOSE, 0, 0); }, IDCANCEL, TRUE},
        {"owner disabled by someone else", [](HWND d) { PostClick(d, IDC_EXIT); }, 42, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::EnableWindow(ownerWindow.Get(), c.ownerEnabled);
        TestDialog modal(&owner);
        BOOL enabledDuring = TRUE;
        modal.script = [&](HWND d) {
            enabledDuring = ::IsWindowEnabled(ownerWindow.Get());
            c.leave(d);
        };
        EXPECT_EQ(modal.DoModal(), c.expected);
        EXPECT_EQ(modal.Hwnd(), nullptr);
        EXPECT_FALSE(enabledDuring);
        EXPECT_EQ(::IsWindowEnabled(ownerWindow.Get()), c.ownerEnabled);
        EXPECT_NEAR(modal.shownAt.left + modal.shownAt.right, 300 + 900, 1);  // centres of dialog and owner
        EXPECT_NEAR(modal.shownAt.top + modal.shownAt.bottom, 200 + 700, 1);
    }
}

TEST_F(FrameworkTest, HooksSeeEachMessageOfTheLoopBeforeItIsDispatched) {
    dialog.script = [](HWND d) {
        ::PostMessageA(d, WM_APP, 0, 0);
        ::PostMessageA(d, kSwallowed, 0, 0);
        ::PostMessageA(::GetDlgItem(d, IDC_INPUT), kForControl, 0, 0);
        PostClick(d, IDC_EXIT);
    };
    EXPECT_EQ(dialog.DoModal(), 42);
    // A control's hook comes before the dialog's.
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"hook 0", "handler", "hook 1", "control hook", "hook 2"}));
}

// Answers WM_APP with 11 and the reflected colour request with the black brush.
class ColouredControl : public CWnd {
protected:
    std::span<const MessageEntry> MessageTable() const override {
        static constexpr MessageEntry kTable[] = {
            Message<&ColouredControl::OnApp>(WM_APP),
            Reflected<&ColouredControl::OnCtlColor>(WM_CTLCOLORSTATIC),
        };
        return kTable;
    }

private:
    std::optional<LRESULT> OnApp(WPARAM, LPARAM) { return 11; }
    std::optional<LRESULT> OnCtlColor(WPARAM, LPARAM) {
        return reinterpret_cast<LRESULT>(::GetStockObject(BLACK_BRUSH));
    }
};

TEST_F(FrameworkTest, SubclassedControlAnswersFirstGetsItsColourRequestsAndLetsGoWhenItDies) {
    ASSERT_TRUE(dialog.Create(nullptr));
    const auto blackBrush = reinterpret_cast<LRESULT>(::GetStockObject(BLACK_BRUSH));
    ColouredControl control;
    HWND window = dialog.GetDlgItem(IDC_RECORDER);
    ASSERT_TRUE(control.SubclassWindow(window));
    EXPECT_EQ(::SendMessageA(window, WM_APP, 0, 0), 11);      // the table first
    EXPECT_EQ(::SendMessageA(window, WM_APP + 1, 0, 0), 22);  // the rest to the previous procedure
    HDC deviceContext = ::GetDC(dialog.Hwnd());
    auto requestColour = [&](int id) {
        return ::SendMessageA(dialog.Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(deviceContext),
                              reinterpret_cast<LPARAM>(dialog.GetDlgItem(id)));
    };
    EXPECT_EQ(requestColour(IDC_RECORDER), blackBrush);
    EXPECT_NE(requestColour(IDC_PLAIN), blackBrush);
    ::ReleaseDC(dialog.Hwnd(), deviceContext);

    g_ownProcAtNcDestroy = false;
    ::DestroyWindow(dialog.Hwnd());  // the window goes before the object
    EXPECT_TRUE(g_ownProcAtNcDestroy);
    EXPECT_EQ(control.Hwnd(), nullptr);
}

// The reporter the program installs sees each failure that escapes a handler,
// and the loop goes on; one it does not know goes on unwinding.
std::vector<std::string> g_reported;
bool RecordFailure() {
    try {
        throw;
    } catch (const std::exception& failure) {
        g_reported.push_back(failure.what());
        return true;
    }
}

TEST_F(FrameworkTest, FailureEscapingACommandIsReportedAndTheLoopGoesOn) {
    const FailureReporter previous = SetFailureReporter(&RecordFailure);
    g_reported.clear();
    TestDialog modal;
    modal.fail = [] { throw std::runtime_error("failed"); };
    modal.script = [](HWND d) {
        PostClick(d, IDC_CONVERT);
        PostClick(d, IDC_EXIT);  // handled only if the loop survived
    };
    EXPECT_EQ(modal.DoModal(), 42);
    EXPECT_EQ(g_reported, std::vector<std::string>{"failed"});
    SetFailureReporter(previous);
}

}  // namespace
