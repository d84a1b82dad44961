// Message tables, dialog-procedure answers, subclassing and the reflection
// of colour requests, on hidden modeless dialogs fed with sent messages.

#include <gtest/gtest.h>

#include "TestSupport.h"
#include "winfw/Controls.h"
#include "winfw/Dialog.h"
#include "winfw/Handles.h"

namespace {

class TableDialog : public CDialog {
public:
    using CDialog::CDialog;
    std::vector<std::string> log;

protected:
    std::span<const MessageEntry> MessageTable() const override {
        static constexpr MessageEntry kTable[] = {
            Clicked<&TableDialog::OnConvert>(kConvertButton),
            Command<&TableDialog::OnChangeInput>(EN_CHANGE, kInputEdit),
            Message<&TableDialog::OnSum>(WM_APP),
            Message<&TableDialog::OnQueryDragIcon>(WM_QUERYDRAGICON),
        };
        return kTable;
    }

private:
    void OnConvert() { log.push_back("convert"); }
    void OnChangeInput() { log.push_back("input"); }
    // wParam + lParam; with lParam 0 the message is left to the default.
    std::optional<LRESULT> OnSum(WPARAM wParam, LPARAM lParam) {
        if (lParam == 0) return std::nullopt;
        return static_cast<LRESULT>(wParam) + lParam;
    }
    std::optional<LRESULT> OnQueryDragIcon(WPARAM, LPARAM) { return 0x1234; }
};

class MessageTableTest : public ::testing::Test {
protected:
    static DialogTemplate MakeTemplate() {
        DialogTemplate result;
        result.Control(kInputEdit, DialogTemplate::kEdit, ES_AUTOHSCROLL)
            .Control(kConvertButton, DialogTemplate::kButton, BS_PUSHBUTTON);
        return result;
    }
    void SetUp() override {
        PrepareWindowTests();
        ASSERT_TRUE(dialog.Create(nullptr));
    }
    DialogTemplate dialogTemplate = MakeTemplate();
    TableDialog dialog{dialogTemplate.Get()};
};

TEST_F(MessageTableTest, CommandsReachOnlyTheHandlerOfTheirControlAndCode) {
    struct Case {
        WORD code, id;
        std::vector<std::string> expected;
    } const cases[] = {
        {BN_CLICKED, kConvertButton, {"convert"}},
        {EN_CHANGE, kInputEdit, {"input"}},
        {EN_CHANGE, kConvertButton, {}},
        {BN_CLICKED, kInputEdit, {}},
        {BN_CLICKED, 1099, {}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "code " << c.code << " from " << c.id);
        dialog.log.clear();
        ::SendMessageA(dialog.Hwnd(), WM_COMMAND, MAKEWPARAM(c.id, c.code),
                       reinterpret_cast<LPARAM>(dialog.GetDlgItem(c.id)));
        EXPECT_EQ(dialog.log, c.expected);
    }
    dialog.log.clear();
    ::SetWindowTextA(dialog.GetDlgItem(kInputEdit), "C:\\data\\image.bin");  // a real EN_CHANGE
    EXPECT_EQ(dialog.log, std::vector<std::string>{"input"});
}

TEST_F(MessageTableTest, HandlersAnswerByTheDialogProcedureRules) {
    // Through DWLP_MSGRESULT for ordinary messages (returning the answer
    // itself would give TRUE); directly for WM_QUERYDRAGICON, whose
    // DWLP_MSGRESULT is ignored.
    EXPECT_EQ(::SendMessageA(dialog.Hwnd(), WM_APP, 30, 12), 42);
    EXPECT_EQ(::SendMessageA(dialog.Hwnd(), WM_APP, 30, 0), 0);
    EXPECT_EQ(::SendMessageA(dialog.Hwnd(), WM_QUERYDRAGICON, 0, 0), 0x1234);
}

// --- Subclassing -----------------------------------------------------------

// Answers WM_APP with 11 unless wParam is 1; notes WM_NCDESTROY.
class ProbeControl : public CWnd {
public:
    bool sawNcDestroy = false;

protected:
    std::span<const MessageEntry> MessageTable() const override {
        static constexpr MessageEntry kTable[] = {
            Message<&ProbeControl::OnApp>(WM_APP),
            Message<&ProbeControl::OnNcDestroy>(WM_NCDESTROY),
        };
        return kTable;
    }

private:
    std::optional<LRESULT> OnApp(WPARAM wParam, LPARAM) {
        if (wParam == 1) return std::nullopt;
        return 11;
    }
    std::optional<LRESULT> OnNcDestroy(WPARAM, LPARAM) {
        sawNcDestroy = true;
        return 0;
    }
};

class SubclassTest : public ::testing::Test {
protected:
    static DialogTemplate MakeTemplate() {
        DialogTemplate result;
        result.Control(kRecorderControl, L"FwRecorder", 0);
        return result;
    }
    void SetUp() override {
        PrepareWindowTests();
        ASSERT_TRUE(dialog.Create(nullptr));
        control = dialog.GetDlgItem(kRecorderControl);
        recorderProc = ::GetWindowLongPtrA(control, GWLP_WNDPROC);
        Recorder() = {};
    }
    DialogTemplate dialogTemplate = MakeTemplate();
    CDialog dialog{dialogTemplate.Get()};
    HWND control = nullptr;
    LONG_PTR recorderProc = 0;
};

TEST_F(SubclassTest, TableSeesMessagesFirstAndThePreviousProcedureTheRest) {
    ProbeControl probe;
    ASSERT_TRUE(probe.SubclassDlgItem(kRecorderControl, dialog.Hwnd()));
    EXPECT_EQ(CWnd::FromHandle(control), &probe);
    EXPECT_FALSE(ProbeControl().SubclassWindow(control));  // one object per window

    EXPECT_EQ(::SendMessageA(control, WM_APP, 0, 0), 11);
    EXPECT_FALSE(Recorder().Received(WM_APP));
    EXPECT_EQ(::SendMessageA(control, WM_APP, 1, 0), 0);  // declined: default processing
    EXPECT_TRUE(Recorder().Received(WM_APP));
    EXPECT_EQ(::SendMessageA(control, WM_APP + 1, 0, 0), 22);  // not in the table
}

TEST_F(SubclassTest, WindowDestroyedFirstGetsItsProcedureBackAndReleasesTheObject) {
    ProbeControl probe;
    ASSERT_TRUE(probe.SubclassWindow(control));
    ::DestroyWindow(dialog.Hwnd());
    EXPECT_TRUE(probe.sawNcDestroy);
    EXPECT_TRUE(Recorder().ownProcAtNcDestroy);  // restored before the control's own clean-up
    EXPECT_EQ(probe.Hwnd(), nullptr);            // so the object dies without touching the window
}

TEST_F(SubclassTest, ObjectDestroyedFirstGivesTheWindowBackIntact) {
    { ProbeControl probe; ASSERT_TRUE(probe.SubclassWindow(control)); }
    EXPECT_EQ(::GetWindowLongPtrA(control, GWLP_WNDPROC), recorderProc);
    EXPECT_EQ(CWnd::FromHandle(control), nullptr);
    EXPECT_EQ(::SendMessageA(control, WM_APP + 1, 0, 0), 22);
}

WNDPROC g_belowOuter = nullptr;
LRESULT CALLBACK OuterProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    return ::CallWindowProcA(g_belowOuter, window, message, wParam, lParam);
}

TEST_F(SubclassTest, ObjectDyingUnderALaterSubclasserLeavesTheChainWorking) {
    {
        ProbeControl probe;
        ASSERT_TRUE(probe.SubclassWindow(control));
        g_belowOuter = reinterpret_cast<WNDPROC>(
            ::SetWindowLongPtrA(control, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&OuterProc)));
    }
    EXPECT_EQ(::SendMessageA(control, WM_APP, 0, 0), 0);  // no object: on to the recorder
    EXPECT_TRUE(Recorder().Received(WM_APP));
    ::DestroyWindow(dialog.Hwnd());
    EXPECT_TRUE(Recorder().Received(WM_NCDESTROY));
}

// --- Reflection of colour requests ------------------------------------------

class ColourStatic : public CStatic {
public:
    explicit ColourStatic(HBRUSH brush) : m_brush(brush) {}
    bool answering = true;
    int requests = 0;

protected:
    std::span<const MessageEntry> MessageTable() const override {
        static constexpr MessageEntry kTable[] = {Reflected<&ColourStatic::OnCtlColor>(WM_CTLCOLORSTATIC)};
        return kTable;
    }

private:
    std::optional<LRESULT> OnCtlColor(WPARAM deviceContext, LPARAM) {
        ++requests;
        if (!answering) return std::nullopt;
        ::SetTextColor(reinterpret_cast<HDC>(deviceContext), RGB(255, 0, 0));
        return reinterpret_cast<LRESULT>(m_brush);
    }
    HBRUSH m_brush;
};

class ReflectionTest : public ::testing::Test {
protected:
    static DialogTemplate MakeTemplate() {
        DialogTemplate result;
        result.Control(kLinkStatic, DialogTemplate::kStatic, SS_LEFT, L"link")
            .Control(kPlainStatic, DialogTemplate::kStatic, SS_LEFT, L"plain");
        return result;
    }
    void SetUp() override {
        PrepareWindowTests();
        ASSERT_TRUE(dialog.Create(nullptr));
        ASSERT_TRUE(link.SubclassDlgItem(kLinkStatic, dialog.Hwnd()));
        deviceContext = ::GetDC(dialog.Hwnd());
    }
    void TearDown() override { ::ReleaseDC(dialog.Hwnd(), deviceContext); }
    LRESULT RequestColour(WORD controlId) {
        return ::SendMessageA(dialog.Hwnd(), WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(deviceContext),
                              reinterpret_cast<LPARAM>(dialog.GetDlgItem(controlId)));
    }

    UniqueBrush brush{::CreateSolidBrush(RGB(0, 0, 255))};
    DialogTemplate dialogTemplate = MakeTemplate();
    CDialog dialog{dialogTemplate.Get()};
    ColourStatic link{brush.Get()};
    HDC deviceContext = nullptr;
};

TEST_F(ReflectionTest, DialogAnswersWithTheBrushOfTheSubclassedControl) {
    EXPECT_EQ(RequestColour(kLinkStatic), reinterpret_cast<LRESULT>(brush.Get()));
    EXPECT_EQ(::GetTextColor(deviceContext), RGB(255, 0, 0));  // drawn into the parent's DC
}

TEST_F(ReflectionTest, OtherControlsAndDeclinedRequestsGetTheDefaultColours) {
    const LRESULT plain = RequestColour(kPlainStatic);
    EXPECT_NE(plain, reinterpret_cast<LRESULT>(brush.Get()));
    EXPECT_EQ(link.requests, 0);
    link.answering = false;
    EXPECT_EQ(RequestColour(kLinkStatic), plain);
    EXPECT_EQ(link.requests, 1);
}

TEST_F(ReflectionTest, PaintingTheControlAsksItForItsColours) {
    ::ShowWindow(dialog.Hwnd(), SW_SHOWNA);
    ::RedrawWindow(dialog.Hwnd(), nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN | RDW_UPDATENOW);
    EXPECT_GT(link.requests, 0);
}

}  // namespace
