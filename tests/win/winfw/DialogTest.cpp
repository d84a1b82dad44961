// Dialogs, their modal loop and the binding of objects to windows, on the
// dialog of TestDialog.rc. Modal dialogs are driven by messages posted while
// they initialise.

#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <memory>

#include "TestResources.h"
#include "TestSupportWin.h"
#include "winfw/Controls.h"
#include "winfw/Dialog.h"
#include "winfw/ErrorReporting.h"

RECT g_placed{};  // the modal dialog's place when its input field's hook saw WM_APP

// Logs its commands (Convert throws what it logged); runs `script` while
// initialising; Exit, or a timer, ends it with 42. Its caption cannot be set:
// the handler fails.
class TestDialog : public CDialog {
public:
    TestDialog() : CDialog(IDD_TEST_DIALOG) {}
    std::function<void(HWND)> script;
    int shown = 0, hooked = 0;
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
    void DoDataExchange(CDataExchange& exchange) override { BindControl(exchange, IDC_INPUT, m_input); }
    BOOL OnInitDialog() override {
        const BOOL focusFirst = CDialog::OnInitDialog();
        if (script) script(Hwnd());
        return focusFirst;
    }
    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override {
        shown += message == WM_SHOWWINDOW && wParam;
        if (message == WM_TIMER) OnExit();  // a timer fires once the queue is empty
        if (message == WM_SETTEXT) throw std::runtime_error("caption");
        return CDialog::OnWndMsg(message, wParam, lParam, result);
    }

private:
    void OnConvert() { throw std::runtime_error(log.emplace_back("convert")); }
    void OnInput() { log.push_back("input " + m_input.Text()); }
    void OnExit() { EndDialog(42); }
    struct HookedEdit : CEdit {  // takes each WM_APP before it is dispatched; fails on the key Z
        int& hooked;
        explicit HookedEdit(int& count) : hooked(count) {}
        bool PreTranslateMessage(MSG& msg) override {
            if (msg.message == WM_KEYDOWN && msg.wParam == 'Z') throw std::runtime_error("hook");
            return msg.message == WM_APP && ++hooked > 0 && ::GetWindowRect(::GetParent(msg.hwnd), &g_placed);
        }
    } m_input{hooked};
};

BOOL CALLBACK AnyProperty(HWND, LPCSTR, HANDLE) { return TRUE; }  // EnumPropsA: -1 when there is none

TEST(Dialog, CommandsReachTheirHandlersOnly) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr) && !dialog.Create(nullptr)) << "once";
    // The answer is 0 also when the handler failed (Convert) and its failure was reported.
    for (auto [code, id] : {std::pair{BN_CLICKED, IDC_CONVERT},
                            {EN_CHANGE, IDC_INPUT},
                            {EN_CHANGE, IDC_CONVERT},
                            {BN_CLICKED, IDC_INPUT},
                            {BN_CLICKED, IDOK},
                            {BN_CLICKED, IDCANCEL}})
        EXPECT_EQ(::SendMessageA(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(id, code),
                                 reinterpret_cast<LPARAM>(dialog.GetDlgItem(id))),
                  0);
    EXPECT_EQ(dialog.log, (std::vector<std::string>{"convert", "input "}));
    EXPECT_TRUE(dialog.UpdateData(true));
    ::DestroyWindow(dialog.Hwnd());
    EXPECT_TRUE(dialog.Hwnd() == nullptr && dialog.Create(nullptr)) << "unbound when destroyed, then created again";
}

// Binds a control its template lacks: the exchange fails, and IDOK ends nothing.
struct UnboundControl : TestDialog {
    CButton missing;
    void DoDataExchange(CDataExchange& exchange) override { BindControl(exchange, IDC_LINK + 1, missing); }
};

TEST(Dialog, FailedBindingFailsTheExchange) {
    UnboundControl modal;
    modal.script = [](HWND d) {
        ::PostMessageA(d, WM_COMMAND, IDOK, 0);
        ::PostMessageA(d, WM_COMMAND, IDC_EXIT, 0);
    };
    EXPECT_EQ(modal.DoModal(nullptr), 42);
}

TEST(Dialog, UnboundWindowKeepsItsProcedureAndNoPropertyOfOurs) {
    TestDialog dialog;
    ASSERT_TRUE(dialog.Create(nullptr));
    const HWND button = dialog.GetDlgItem(IDC_EXIT);
    const LONG_PTR own = ::GetWindowLongPtrA(button, GWLP_WNDPROC);
    auto bound = std::make_unique<CButton>();
    ASSERT_TRUE(bound->SubclassWindow(button) && CWnd::FromHandle(button) == bound.get());
    EXPECT_FALSE(bound->SubclassWindow(button)) << "bound once";
    bound.reset();
    EXPECT_EQ(::GetWindowLongPtrA(button, GWLP_WNDPROC), own);
    EXPECT_EQ(::EnumPropsA(button, &AnyProperty), -1);
}

TEST(Dialog, ModalEndsWithItsCodeCentredOverItsDisabledOwner) {
    TestDialog owner;
    ASSERT_TRUE(owner.Create(nullptr));
    RECT work{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    // Message posted (a key to the input field, the rest to the dialog), its parameter, the result,
    // whether the owner was enabled before (and so after), the owner's corner (its size 600 x 500).
    for (auto [message, wParam, result, ownerEnabled, ownerAt] :
         {std::tuple<UINT, WPARAM, INT_PTR, BOOL, POINT>{WM_COMMAND, IDC_EXIT, 42, TRUE, {300, 200}},
          {WM_KEYDOWN, VK_ESCAPE, IDCANCEL, TRUE, {work.right - 100, work.bottom - 50}},
          {WM_COMMAND, IDOK, IDOK, TRUE, {work.left - 500, work.top - 450}},
          {WM_CLOSE, 0, IDCANCEL, TRUE, {300, 200}},
          {WM_COMMAND, IDC_EXIT, 42, FALSE, {300, 200}}}) {
        SCOPED_TRACE(testing::Message() << message << " " << wParam << " " << ownerEnabled);
        ::SetWindowPos(owner.Hwnd(), nullptr, ownerAt.x, ownerAt.y, 600, 500, SWP_NOZORDER | SWP_SHOWWINDOW);
        ::EnableWindow(owner.Hwnd(), ownerEnabled);
        TestDialog modal;
        BOOL enabledMeanwhile = TRUE;
        modal.script = [&, message = message, wParam = wParam](HWND d) {
            enabledMeanwhile = ::IsWindowEnabled(owner.Hwnd());
            ::PostMessageA(::GetDlgItem(d, IDC_INPUT), WM_APP, 0, 0);
            ::PostMessageA(message == WM_KEYDOWN ? ::GetDlgItem(d, IDC_INPUT) : d, message, wParam, 0);
        };
        EXPECT_EQ(modal.DoModal(owner.Hwnd()), result);
        EXPECT_FALSE(enabledMeanwhile);
        EXPECT_EQ(::IsWindowEnabled(owner.Hwnd()), ownerEnabled);
        EXPECT_EQ(modal.hooked, 1) << "the control's hook";
        // Centred on the owner, unless that would leave part of it outside the work area.
        EXPECT_TRUE(ownerAt.x > work.right / 2 ? g_placed.right == work.right && g_placed.bottom == work.bottom
                    : ownerAt.x < 0            ? g_placed.left == work.left && g_placed.top == work.top
                                               : std::abs(g_placed.left + g_placed.right - 1200) <= 1 &&
                                          std::abs(g_placed.top + g_placed.bottom - 900) <= 1);
    }
    TestDialog ended;
    ended.script = [&](HWND) { ended.EndDialog(7); };
    EXPECT_TRUE(ended.DoModal(nullptr) == 7 && ended.shown == 0) << "ended while it initialised: never shown";
}

TEST(Dialog, ModalLoopTranslatesKeysAndGoesOnAfterFailuresWhichAreReported) {
    g_reported.clear();
    // A window of the thread outside the dialog: its keys are the loop's to translate.
    const HWND other = ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    std::string caption;
    TestDialog modal;
    modal.script = [&](HWND d) {
        ::SetWindowTextA(d, "changed");  // answered by the failed handler, not left to the system
        caption = TextOf(d);
        ::PostMessageA(d, WM_COMMAND, IDC_CONVERT, 0);
        for (UINT key : {UINT{'A'}, UINT{'Z'}}) PostKey(::GetDlgItem(d, IDC_INPUT), key);  // Z: its hook fails
        PostKey(other, 'B');
        ::SetTimer(d, 1, 10, nullptr);  // ends it, if the loop survived
    };
    EXPECT_EQ(modal.DoModal(nullptr), 42);
    EXPECT_EQ(caption, "Test");
    EXPECT_EQ(modal.log, (std::vector<std::string>{"convert", "input a"}))
        << "a message whose hook failed is not dispatched";
    EXPECT_EQ(g_reported, (std::vector<std::string>{"caption", "convert", "hook"}));
    EXPECT_EQ(TextOf(other), "b");
    ::DestroyWindow(other);
    EXPECT_THROW(RunReportingFailures([] { throw std::logic_error("unknown"); }), std::logic_error);
}
