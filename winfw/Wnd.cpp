#include "winfw/Wnd.h"

#include "winfw/ErrorReporting.h"

namespace {

// The object bound to a window, and the procedure a subclassed window had
// before. The previous procedure is kept with the window, not only in the
// object: when a later subclasser sits above ours, our procedure must stay
// in the chain after the object is gone, and it still has to forward.
constexpr const char* kObjectProperty = "winfw.Object";
constexpr const char* kPreviousProcProperty = "winfw.PreviousProc";

WNDPROC PreviousProc(HWND window) {
    return reinterpret_cast<WNDPROC>(::GetPropA(window, kPreviousProcProperty));
}

bool IsColourRequestAboutControl(UINT message) {
    // WM_CTLCOLORDLG is about the dialog itself; the others name a control in lParam.
    return message >= WM_CTLCOLORMSGBOX && message <= WM_CTLCOLORSTATIC && message != WM_CTLCOLORDLG;
}

}  // namespace

CWnd::~CWnd() {
    if (m_subclassed)
        UnsubclassWindow();
    else
        ReleaseHandle();
}

CWnd* CWnd::FromHandle(HWND window) {
    return window != nullptr ? static_cast<CWnd*>(::GetPropA(window, kObjectProperty)) : nullptr;
}

bool CWnd::SubclassWindow(HWND window) {
    if (m_window != nullptr || !::IsWindow(window) || FromHandle(window) != nullptr) return false;
    // Both properties are in place before the procedure changes, so the first
    // message through SubclassProc finds them.
    auto previous = reinterpret_cast<HANDLE>(::GetWindowLongPtrA(window, GWLP_WNDPROC));
    if (!::SetPropA(window, kPreviousProcProperty, previous)) return false;
    if (!::SetPropA(window, kObjectProperty, this)) {
        ::RemovePropA(window, kPreviousProcProperty);
        return false;
    }
    m_window = window;
    m_subclassed = true;
    ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&SubclassProc));
    return true;
}

bool CWnd::SubclassDlgItem(int controlId, HWND dialog) {
    return SubclassWindow(::GetDlgItem(dialog, controlId));
}

void CWnd::UnsubclassWindow() {
    if (!m_subclassed) return;
    HWND window = m_window;
    ::RemovePropA(window, kObjectProperty);
    // Only the topmost procedure can be taken out of the chain.
    if (::GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassProc)) {
        ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(PreviousProc(window)));
        ::RemovePropA(window, kPreviousProcProperty);
    }
    m_window = nullptr;
    m_subclassed = false;
}

LRESULT CALLBACK CWnd::SubclassProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    WNDPROC previous = PreviousProc(window);
    LRESULT result = 0;
    if (CWnd* object = FromHandle(window)) {
        bool handled = object->RouteMessage(message, wParam, lParam, result);
        // The window's own clean-up must run whatever the table answered.
        if (message != WM_NCDESTROY && handled) return result;
    }
    if (message == WM_NCDESTROY) {
        // Last message of the window: end the binding before the previous
        // procedure finishes the window off.
        if (CWnd* object = FromHandle(window)) object->UnsubclassWindow();
        if (::GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&SubclassProc))
            ::SetWindowLongPtrA(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        ::RemovePropA(window, kPreviousProcProperty);
    }
    return previous != nullptr ? ::CallWindowProcA(previous, window, message, wParam, lParam)
                               : ::DefWindowProcA(window, message, wParam, lParam);
}

void CWnd::BindHandle(HWND window) {
    if (::SetPropA(window, kObjectProperty, this)) m_window = window;
}

void CWnd::ReleaseHandle() {
    if (m_window != nullptr) ::RemovePropA(m_window, kObjectProperty);
    m_window = nullptr;
}

bool CWnd::PreTranslateMessage(MSG&) { return false; }

bool CWnd::PreTranslateTree(MSG& msg) {
    if (m_window != nullptr) {
        for (HWND window = msg.hwnd; window != nullptr && ::IsChild(m_window, window); window = ::GetParent(window)) {
            CWnd* object = FromHandle(window);
            if (object != nullptr && object->PreTranslateMessage(msg)) return true;
        }
    }
    return PreTranslateMessage(msg);
}

bool CWnd::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (IsColourRequestAboutControl(message)) {
        CWnd* control = FromHandle(reinterpret_cast<HWND>(lParam));
        if (control != nullptr && control != this &&
            control->OnWndMsg(ReflectedMessage(message), wParam, lParam, result))
            return true;
    }
    for (const MessageEntry& entry : MessageTable()) {
        if (entry.message != message) continue;
        if (message == WM_COMMAND && (entry.notification != HIWORD(wParam) || entry.controlId != LOWORD(wParam)))
            continue;
        std::optional<LRESULT> answer = entry.handler(*this, wParam, lParam);
        if (!answer) return false;
        result = *answer;
        return true;
    }
    return false;
}

bool CWnd::RouteMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) noexcept {
    bool handled = false;
    if (RunReportingFailures([&] { handled = OnWndMsg(message, wParam, lParam, result); })) return handled;
    result = 0;
    return true;
}

LRESULT CWnd::Send(UINT message, WPARAM wParam, LPARAM lParam) const {
    return ::SendMessageA(m_window, message, wParam, lParam);
}

HWND CWnd::GetDlgItem(int controlId) const { return ::GetDlgItem(m_window, controlId); }

std::string CWnd::Text() const {
    std::string text(static_cast<std::size_t>(::GetWindowTextLengthA(m_window)) + 1, '\0');
    text.resize(static_cast<std::size_t>(::GetWindowTextA(m_window, text.data(), static_cast<int>(text.size()))));
    return text;
}

void CWnd::SetText(const char* text) { ::SetWindowTextA(m_window, text); }

void CWnd::Enable(bool enable) { ::EnableWindow(m_window, enable ? TRUE : FALSE); }
