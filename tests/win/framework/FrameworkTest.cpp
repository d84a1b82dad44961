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

// Logs its commands; runs `script` while initialising. Convert throws
// `failure` if set; Exit ends with 42.
class TestDialog : public CDialog {
public:
    explicit TestDialog(CWnd* parent = nullptr) : CDialog(IDD_TEST_DIALOG, parent) {}
    std::function<void(HWND)> script;
    const char* failure = nullptr;
    int threeState = 0;
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
        if (script) script(Hwnd());
        return TRUE;
    }

private:
    void OnConvert() {
        log.push_back("convert");
        if (failure != nullptr) throw std::runtime_error(failure);
    }
    void OnInput() { log.push_back("input"); }
    void OnExit() { EndDialog(42); }
    CEdit m_input;
};

TEST(Framework, CommandsReachTheHandlerOfTheirControlAndCodeAndTheCheckBoxIsExchanged) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    for (auto [code, id] : {std::pair{BN_CLICKED, IDC_CONVERT}, {EN_CHANGE, IDC_INPUT}, {EN_CHANGE, IDC_CONVERT},
                            {BN_CLICKED, IDC_INPUT}})
        ::SendMessageA(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(id, code), reinterpret_cast<LPARAM>(dialog.GetDlgItem(id)));
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"convert", "input"}));

    HWND box = dialog.GetDlgItem(IDC_THREE_STATE);
    for (auto [value, state] : {std::pair{0, BST_UNCHECKED}, {1, BST_CHECKED}, {2, BST_INDETERMINATE},
                                {3, BST_UNCHECKED}, {-1, BST_UNCHECKED}}) {
        ::SendMessageA(box, BM_SETCHECK, BST_CHECKED, 0);  // so that "unchecked" has to be set
        dialog.threeState = value;
        EXPECT_TRUE(dialog.UpdateData(false));
        EXPECT_EQ(::SendMessageA(box, BM_GETCHECK, 0, 0), state) << value;
        dialog.threeState = -5;
        EXPECT_TRUE(dialog.UpdateData(true));
        EXPECT_EQ(dialog.threeState, state) << value;
    }
}

TEST(Framework, ModalDialogEndsWithItsCodeAndDisablesItsOwnerMeanwhile) {
    TestDialog owner;
    ASSERT_TRUE(owner.Create(nullptr));
    struct Case {
        UINT message;  // posted to the input field (a key) or to the dialog
        WPARAM wParam;
        INT_PTR result;
        BOOL ownerEnabled;
    } const cases[] = {
        {WM_COMMAND, IDC_EXIT, 42, TRUE},
        {WM_KEYDOWN, VK_ESCAPE, IDCANCEL, TRUE},
        {WM_COMMAND, IDOK, IDOK, TRUE},
        {WM_CLOSE, 0, IDCANCEL, TRUE},
        {WM_COMMAND, IDC_EXIT, 42, FALSE},  // the owner disabled by someone else
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.message << " " << c.wParam << " " << c.ownerEnabled);
        ::EnableWindow(owner.Hwnd(), c.ownerEnabled);
        TestDialog modal(&owner);
        BOOL enabledMeanwhile = TRUE;
        modal.script = [&](HWND d) {
            enabledMeanwhile = ::IsWindowEnabled(owner.Hwnd());
            ::PostMessageA(c.message == WM_KEYDOWN ? ::GetDlgItem(d, IDC_INPUT) : d, c.message, c.wParam, 0);
        };
        EXPECT_EQ(modal.DoModal(), c.result);
        EXPECT_EQ(modal.Hwnd(), nullptr);
        EXPECT_FALSE(enabledMeanwhile);
        EXPECT_EQ(::IsWindowEnabled(owner.Hwnd()), c.ownerEnabled);
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
    modal.failure = "failed";
    modal.script = [](HWND d) {
        ::PostMessageA(d, WM_COMMAND, IDC_CONVERT, 0);
        ::PostMessageA(d, WM_COMMAND, IDC_EXIT, 0);  // handled only if the loop survived
    };
    EXPECT_EQ(modal.DoModal(), 42);
    EXPECT_EQ(g_reported, std::vector<std::string>{"failed"});
    EXPECT_THROW(RunReportingFailures([] { throw std::logic_error("unknown"); }), std::logic_error);
    SetFailureReporter(previous);
}

}  // namespace
