// DoModal's own loop: how a dialog ends, its owner, the pre-translation
// hooks, WM_QUIT and the report of failures escaping handlers. Each dialog
// is driven by messages posted while it initialises.

#include <gtest/gtest.h>

#include <functional>
#include <new>

#include "TestSupport.h"
#include "app/FileError.h"
#include "winfw/App.h"
#include "winfw/Controls.h"
#include "winfw/Dialog.h"
#include "winfw/Handles.h"

namespace {

constexpr INT_PTR kTimedOut = -99;
constexpr UINT kSwallowed = WM_APP + 1;
constexpr UINT kForControl = WM_APP + 2;

void PostClick(HWND dialog, WORD id) { ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), 0); }

class HookedEdit : public CEdit {
public:
    std::vector<std::string>* log = nullptr;
    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message == kForControl) log->push_back("control hook");
        return false;
    }
};

// Runs `script` while initialising; Convert runs `convert`, Exit ends with `exitCode`.
class ScriptedDialog : public CDialog {
public:
    using CDialog::CDialog;
    std::function<void(ScriptedDialog&)> script;
    std::function<void()> convert;
    INT_PTR exitCode = 0;
    std::vector<std::string> log;

protected:
    std::span<const MessageEntry> MessageTable() const override {
        static constexpr MessageEntry kTable[] = {
            Clicked<&ScriptedDialog::OnConvert>(kConvertButton),
            Clicked<&ScriptedDialog::OnExit>(kExitButton),
            Message<&ScriptedDialog::OnApp>(WM_APP),
            Message<&ScriptedDialog::OnApp>(kSwallowed),
            Message<&ScriptedDialog::OnTimer>(WM_TIMER),
        };
        return kTable;
    }
    void DoDataExchange(CDataExchange& exchange) override { BindControl(exchange, kInputEdit, m_input); }
    BOOL OnInitDialog() override {
        CDialog::OnInitDialog();
        m_input.log = &log;
        ::SetTimer(Hwnd(), 1, 5000, nullptr);  // no test may hang
        if (script) script(*this);
        return TRUE;
    }
    bool PreTranslateMessage(MSG& msg) override {
        if (msg.message >= WM_APP && msg.message <= kForControl) log.push_back("hook " + std::to_string(msg.message - WM_APP));
        return msg.message == kSwallowed || CDialog::PreTranslateMessage(msg);
    }

private:
    void OnConvert() { convert(); }
    void OnExit() { EndDialog(exitCode); }
    std::optional<LRESULT> OnApp(WPARAM, LPARAM) {
        log.push_back("handler");
        return 0;
    }
    std::optional<LRESULT> OnTimer(WPARAM, LPARAM) {
        EndDialog(kTimedOut);
        return 0;
    }
    HookedEdit m_input;
};

class ModalLoopTest : public ::testing::Test {
protected:
    static DialogTemplate MakeTemplate() {
        DialogTemplate result;
        result.Control(kInputEdit, DialogTemplate::kEdit, ES_AUTOHSCROLL | WS_TABSTOP)
            .Control(kConvertButton, DialogTemplate::kButton, BS_PUSHBUTTON | WS_TABSTOP);
        return result;
    }
    void SetUp() override { PrepareWindowTests(); }
    DialogTemplate dialogTemplate = MakeTemplate();
};

TEST_F(ModalLoopTest, EndsWithTheCodeOfHowTheUserLeft) {
    struct Case {
        const char* name;
        std::function<void(HWND)> leave;
        INT_PTR expected;
    } const cases[] = {
        {"handler calling EndDialog", [](HWND d) { PostClick(d, kExitButton); }, 42},
        {"Escape in the input field",
         [](HWND d) { ::PostMessageA(::GetDlgItem(d, kInputEdit), WM_KEYDOWN, VK_ESCAPE, 0x00010001); }, IDCANCEL},
        {"WM_CLOSE", [](HWND d) { ::PostMessageA(d, WM_CLOSE, 0, 0); }, IDCANCEL},
        {"close command", [](HWND d) { ::PostMessageA(d, WM_SYSCOMMAND, SC_CLOSE, 0); }, IDCANCEL},
        {"command IDOK", [](HWND d) { PostClick(d, IDOK); }, IDOK},
        {"EndDialog before the loop", [](HWND d) { static_cast<CDialog*>(CWnd::FromHandle(d))->EndDialog(7); }, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ScriptedDialog dialog(dialogTemplate.Get());
        dialog.exitCode = 42;
        HWND window = nullptr;
        dialog.script = [&](ScriptedDialog& d) { c.leave(window = d.Hwnd()); };
        EXPECT_EQ(dialog.DoModal(), c.expected);
        EXPECT_FALSE(::IsWindow(window));
        EXPECT_EQ(dialog.Hwnd(), nullptr);
    }
}

TEST_F(ModalLoopTest, OwnerIsDisabledWhileTheDialogRunsAndActiveAgainAfterwards) {
    UniqueWindow ownerWindow{::CreateWindowA("STATIC", "owner", WS_POPUP | WS_VISIBLE, 0, 0, 100, 100, nullptr,
                                             nullptr, nullptr, nullptr)};
    CWnd owner;
    owner.Attach(ownerWindow.Get());
    for (bool enabledBefore : {true, false}) {
        SCOPED_TRACE(enabledBefore ? "owner enabled" : "owner disabled by someone else");
        ::EnableWindow(ownerWindow.Get(), enabledBefore);
        ScriptedDialog dialog(dialogTemplate.Get(), &owner);
        HWND ownerSeen = nullptr;
        BOOL ownerEnabledDuring = TRUE;
        dialog.script = [&](ScriptedDialog& d) {
            ownerSeen = ::GetWindow(d.Hwnd(), GW_OWNER);
            ownerEnabledDuring = ::IsWindowEnabled(ownerWindow.Get());
            PostClick(d.Hwnd(), kExitButton);
        };
        dialog.DoModal();
        EXPECT_EQ(ownerSeen, ownerWindow.Get());
        EXPECT_FALSE(ownerEnabledDuring);
        EXPECT_EQ(::IsWindowEnabled(ownerWindow.Get()), enabledBefore);
    }
    ::EnableWindow(ownerWindow.Get(), TRUE);
    ScriptedDialog dialog(dialogTemplate.Get(), &owner);
    dialog.script = [](ScriptedDialog& d) { PostClick(d.Hwnd(), kExitButton); };
    dialog.DoModal();
    EXPECT_EQ(::GetActiveWindow(), ownerWindow.Get());
}

TEST_F(ModalLoopTest, MainWindowIsKnownFromItsInitialisationAndOwnsDialogsWithoutParent) {
    CApp app;
    ScriptedDialog mainDialog(dialogTemplate.Get());
    app.SetMainWindow(&mainDialog);
    HWND mainWindow = nullptr;
    HWND ownerOfMain = nullptr;
    HWND ownerOfOther = nullptr;
    mainDialog.script = [&](ScriptedDialog& main) {
        mainWindow = main.Hwnd();
        ownerOfMain = ::GetWindow(main.Hwnd(), GW_OWNER);
        EXPECT_EQ(AppMainWindow(), main.Hwnd());
        ScriptedDialog other(dialogTemplate.Get());
        other.script = [&](ScriptedDialog& d) {
            ownerOfOther = ::GetWindow(d.Hwnd(), GW_OWNER);
            PostClick(d.Hwnd(), kExitButton);
        };
        other.DoModal();
        EXPECT_TRUE(::IsWindowEnabled(main.Hwnd()));
        PostClick(main.Hwnd(), kExitButton);
    };
    mainDialog.DoModal();
    EXPECT_EQ(ownerOfMain, nullptr);  // no main window yet when it was created
    EXPECT_EQ(ownerOfOther, mainWindow);
    EXPECT_EQ(AppMainWindow(), nullptr);  // taken back when the window went
}

TEST_F(ModalLoopTest, HooksSeeEachMessageBeforeItIsDispatched) {
    ScriptedDialog dialog(dialogTemplate.Get());
    dialog.script = [](ScriptedDialog& d) {
        ::PostMessageA(d.Hwnd(), WM_APP, 0, 0);
        ::PostMessageA(d.Hwnd(), kSwallowed, 0, 0);
        ::PostMessageA(d.GetDlgItem(kInputEdit), kForControl, 0, 0);
        PostClick(d.Hwnd(), kExitButton);
    };
    dialog.DoModal();
    // A control's hook comes before the dialog's.
    const std::vector<std::string> expected = {"hook 0", "handler", "hook 1", "control hook", "hook 2"};
    EXPECT_EQ(dialog.log, expected);
}

TEST_F(ModalLoopTest, QuitRequestEndsTheLoopAndIsPostedAgain) {
    ScriptedDialog dialog(dialogTemplate.Get());
    dialog.script = [](ScriptedDialog&) { ::PostQuitMessage(3); };
    EXPECT_EQ(dialog.DoModal(), CDialog::kNotEnded);
    MSG msg{};
    ASSERT_TRUE(::PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(msg.wParam, 3u);
}

// --- The error report -------------------------------------------------------

class ErrorReportTest : public ModalLoopTest {
protected:
    void SetUp() override {
        ModalLoopTest::SetUp();
        SetAppTitle("Framework test");
    }
    void TearDown() override { SetAppTitle("Arrayforge"); }
    RecordingMessageBoxes boxes;
    ScopedMessageBoxHost scopedHost{boxes};
};

TEST_F(ErrorReportTest, FailureEscapingACommandIsShownAndTheDialogGoesOn) {
    struct Case {
        const char* name;
        std::function<void()> fail;
        std::string text;
        unsigned style;
    } const cases[] = {
        {"disk full", [] { throw FileError{FileErrorCause::DiskFull, 112, "C:\\out\\image.c"}; },
         "C:\\out\\image.c \x82\xd6\x82\xcc\xb1\xb8\xbe\xbd\x92\x86\x82\xc9\xc3\xde\xa8\xbd\xb8\x82\xaa\x82\xa2\x82"
         "\xc1\x82\xcf\x82\xa2\x82\xc9\x82\xc8\x82\xe8\x82\xdc\x82\xb5\x82\xbd\x81\x42",
         0x10},
        {"no file name", [] { throw FileError{FileErrorCause::FileNotFound, 2, ""}; },
         "\x96\xb3\x91\xe8\x82\xcc\xcc\xa7\xb2\xd9 \x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1\x82"
         "\xc5\x82\xb5\x82\xbd\x81\x42",
         0x10},
        {"out of memory", [] { throw std::bad_alloc(); },
         "\xd2\xd3\xd8\x82\xaa\x95\x73\x91\xab\x82\xb5\x82\xc4\x82\xa2\x82\xdc\x82\xb7\x81\x42", 0x1030},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.boxes.clear();
        ScriptedDialog dialog(dialogTemplate.Get());
        dialog.convert = c.fail;
        dialog.exitCode = 5;
        dialog.script = [](ScriptedDialog& d) {
            PostClick(d.Hwnd(), kConvertButton);
            PostClick(d.Hwnd(), kExitButton);  // handled only if the loop survived
        };
        EXPECT_EQ(dialog.DoModal(), 5);
        ASSERT_EQ(boxes.boxes.size(), 1u);
        EXPECT_TRUE(boxes.boxes[0].throughApp);
        EXPECT_EQ(boxes.boxes[0].caption, "Framework test");
        EXPECT_EQ(boxes.boxes[0].text, c.text);
        EXPECT_EQ(boxes.boxes[0].style, c.style);
    }
}

}  // namespace
