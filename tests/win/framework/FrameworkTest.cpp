// The window layer under Wine, on the dialog of FrameworkTest.rc. Modal
// dialogs are driven by messages posted while they initialise.

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestResources.h"
#include "winfw/Controls.h"
#include "winfw/Dialog.h"
#include "winfw/ErrorReporting.h"

namespace {

void PostClick(HWND dialog, WORD id) { ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

// Logs its commands and what its input field's hook takes; runs `script`
// while initialising and `fail` on Convert; Exit ends it with 42.
class TestDialog : public CDialog {
public:
    explicit TestDialog(CWnd* parent = nullptr) : CDialog(IDD_TEST_DIALOG, parent) {}
    std::function<void(HWND)> script;
    std::function<void()> fail;
    int threeState = 0;
    RECT endedAt{};
    std::vector<std::string> log;

protected:
    std::span<const MessageEntry> MessageTable() const override {
        static constexpr MessageEntry kTable[] = {
            Clicked<&TestDialog::OnConvert>(IDC_CONVERT),
            Command<&TestDialog::OnInput>(EN_CHANGE, IDC_INPUT),
            Clicked<&TestDialog::OnExit>(IDC_EXIT),
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
        if (script) script(Hwnd());
        return TRUE;
    }

private:
    struct HookedEdit : CEdit {
        std::vector<std::string>* log = nullptr;
        bool PreTranslateMessage(MSG& msg) override {
            if (msg.message == WM_APP) log->push_back("control hook");
            return msg.message == WM_APP;
        }
    };
    void OnConvert() {
        log.push_back("convert");
        if (fail) fail();
    }
    void OnInput() { log.push_back("input"); }
    void OnExit() {
        ::GetWindowRect(Hwnd(), &endedAt);
        EndDialog(42);
    }
    HookedEdit m_input;
};

TEST(Framework, CommandsReachTheHandlerOfTheirControlAndCodeAndTheCheckBoxIsExchanged) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    const std::pair<WORD, WORD> commands[] = {{BN_CLICKED, IDC_CONVERT}, {EN_CHANGE, IDC_INPUT},
                                              {EN_CHANGE, IDC_CONVERT}, {BN_CLICKED, IDC_INPUT}};
    for (auto [code, id] : commands)
        ::SendMessageA(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(dialog.GetDlgItem(id)));
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"convert", "input"}));

    HWND box = dialog.GetDlgItem(IDC_THREE_STATE);
    const std::pair<int, LRESULT> states[] = {
        {0, BST_UNCHECKED}, {1, BST_CHECKED}, {2, BST_INDETERMINATE}, {3, BST_UNCHECKED}, {-1, BST_UNCHECKED}};
    for (auto [value, state] : states) {
        ::SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);  // so that "unchecked" has to be set
        dialog.threeState = value;
        EXPECT_TRUE(dialog.UpdateData(false));
        EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), state) << value;
        dialog.threeState = -5;
        EXPECT_TRUE(dialog.UpdateData(true));
        EXPECT_EQ(dialog.threeState, state) << value;
    }
}

TEST(Framework, ModalDialogEndsWithItsCodeCentredOverItsOwnerWhichItDisablesMeanwhile) {
    TestDialog owner;
    ASSERT_TRUE(owner.Create(nullptr));
    ::SetWindowPos(owner.Hwnd(), nullptr, 300, 200, 600, 500, SWP_NOZORDER | SWP_SHOWWINDOW);
    struct Case {
        const char* name;
        UINT message;  // to the input field: a key; to the dialog: the rest
        WPARAM wParam;
        INT_PTR result;
        BOOL ownerEnabled;
    } const cases[] = {
        {"Exit", WM_COMMAND, IDC_EXIT, 42, TRUE},
        {"Escape", WM_KEYDOWN, VK_ESCAPE, IDCANCEL, TRUE},
        {"Enter", WM_COMMAND, IDOK, IDOK, TRUE},
        {"close box", WM_CLOSE, 0, IDCANCEL, TRUE},
        {"owner disabled by someone else", WM_COMMAND, IDC_EXIT, 42, FALSE},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::EnableWindow(owner.Hwnd(), c.ownerEnabled);
        TestDialog modal(&owner);
        BOOL enabledDuring = TRUE;
        modal.script = [&](HWND d) {
            enabledDuring = ::IsWindowEnabled(owner.Hwnd());
            ::PostMessageA(::GetDlgItem(d, IDC_INPUT), WM_APP, 0, 0);
            ::PostMessageA(c.message == WM_KEYDOWN ? ::GetDlgItem(d, IDC_INPUT) : d, c.message, c.wParam, 0x00010001);
        };
        EXPECT_EQ(modal.DoModal(), c.result);
        EXPECT_EQ(modal.Hwnd(), nullptr);
        EXPECT_FALSE(enabledDuring);
        EXPECT_EQ(::IsWindowEnabled(owner.Hwnd()), c.ownerEnabled);
        EXPECT_EQ(modal.log, std::vector<std::string>{"control hook"});
        if (c.result == 42) {
            EXPECT_NEAR(modal.endedAt.left + modal.endedAt.right, 300 + 900, 1);  // centres of dialog and owner
            EXPECT_NEAR(modal.endedAt.top + modal.endedAt.bottom, 200 + 700, 1);
        }
    }
}

// The reporter the program installs sees each failure that escapes a handler,
// and the loop goes on; one it does not know goes on unwinding.
std::vector<std::string> g_reported;
bool RecordFailure() {
    try {
        throw;
    } catch (const std::runtime_error& failure) {
        g_reported.push_back(failure.what());
        return true;
    } catch (...) {
        return false;
    }
}

TEST(Framework, FailureEscapingACommandIsReportedAndTheLoopGoesOn) {
    const FailureReporter previous = SetFailureReporter(&RecordFailure);
    TestDialog modal;
    modal.fail = [] { throw std::runtime_error("failed"); };
    modal.script = [](HWND d) {
        PostClick(d, IDC_CONVERT);
        PostClick(d, IDC_EXIT);  // handled only if the loop survived
    };
    EXPECT_EQ(modal.DoModal(), 42);
    EXPECT_EQ(g_reported, std::vector<std::string>{"failed"});
    EXPECT_THROW(RunReportingFailures([] { throw std::logic_error("unknown"); }), std::logic_error);
    SetFailureReporter(previous);
}

}  // namespace
