#include "winfw/Dialog.h"

#include <algorithm>

#include "winfw/ErrorReporting.h"

namespace {

// The messages whose answer a dialog procedure returns itself; for all
// others it returns TRUE and leaves the answer in DWLP_MSGRESULT.
bool AnswersDirectly(UINT message) {
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

}  // namespace

void BindControl(CDataExchange& exchange, int controlId, CWnd& control) {
    if (control.Hwnd() != nullptr) return;
    if (!control.SubclassDlgItem(controlId, exchange.Dialog().Hwnd())) exchange.Fail();
}

CDialog::~CDialog() {
    if (HWND window = Hwnd()) {
        // Unbound first: the messages of the destruction must not reach an
        // object that is half destroyed.
        ReleaseHandle();
        ::DestroyWindow(window);
    }
}

HWND CDialog::CreateWindowFromTemplate(HWND owner) {
    // The object travels in the creation parameter and is bound at WM_INITDIALOG.
    return ::CreateDialogParamA(::GetModuleHandleA(nullptr), MAKEINTRESOURCEA(m_templateId), owner, &DialogProc,
                                reinterpret_cast<LPARAM>(this));
}

bool CDialog::Create(HWND owner) {
    if (Hwnd() != nullptr) return false;
    return CreateWindowFromTemplate(owner) != nullptr;
}

INT_PTR CDialog::DoModal(HWND owner) {
    if (Hwnd() != nullptr) return kNotEnded;
    // Disabled before the dialog exists, as the system's own modal dialogs
    // do; an owner that is disabled already (under another modal dialog)
    // is left to whoever disabled it.
    const bool disableOwner = owner != nullptr && ::IsWindowEnabled(owner);
    if (disableOwner) ::EnableWindow(owner, FALSE);

    m_ended = false;
    m_result = kNotEnded;
    INT_PTR result = kNotEnded;
    if (CreateWindowFromTemplate(owner) != nullptr) result = RunModalLoop();

    // Enabled again while the dialog still exists: destroying the active
    // dialog activates its owner, which only an enabled window can be.
    if (disableOwner) ::EnableWindow(owner, TRUE);
    if (HWND window = Hwnd()) ::DestroyWindow(window);
    return result;
}

// A dialog that places itself (DS_CENTER, DS_CENTERMOUSE, DS_ABSALIGN), or
// that its initialisation showed or moved, stays where it is; any other is
// shown centred over its owner (over the work area when it has no visible
// owner), kept inside the work area.
void CDialog::CentreIfUnplaced() {
    const LONG style = ::GetWindowLongA(Hwnd(), GWL_STYLE);
    RECT rect{};
    ::GetWindowRect(Hwnd(), &rect);
    if ((style & (DS_CENTER | DS_CENTERMOUSE | DS_ABSALIGN)) != 0 || ::IsWindowVisible(Hwnd()) ||
        !::EqualRect(&rect, &m_createdRect))
        return;
    RECT workArea{};
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &workArea, 0);
    RECT around = workArea;
    HWND owner = ::GetWindow(Hwnd(), GW_OWNER);
    if (owner != nullptr && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &around);
    const LONG width = rect.right - rect.left;
    const LONG height = rect.bottom - rect.top;
    // Centred, then moved into the work area; one larger than it keeps its left and top edges there.
    const LONG x = std::max(std::min((around.left + around.right - width) / 2, workArea.right - width), workArea.left);
    const LONG y = std::max(std::min((around.top + around.bottom - height) / 2, workArea.bottom - height), workArea.top);
    ::SetWindowPos(Hwnd(), nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CDialog::RunModalLoop() {
    if (!m_ended && !::IsWindowVisible(Hwnd())) {
        CentreIfUnplaced();
        ::ShowWindow(Hwnd(), SW_SHOWNORMAL);
    }
    while (!m_ended && Hwnd() != nullptr) {
        MSG msg;
        BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) return kNotEnded;
        if (got == 0) {
            // The loop that called us must see the quit request too.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            return kNotEnded;
        }
        bool consumed = true;  // a hook that failed has had its say
        RunReportingFailures([&] { consumed = PreTranslateTree(msg); });
        if (!consumed) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return m_ended ? m_result : kNotEnded;
}

void CDialog::EndDialog(INT_PTR result) {
    m_result = result;
    m_ended = true;
}

bool CDialog::UpdateData(bool saving) {
    CDataExchange exchange(*this, saving);
    DoDataExchange(exchange);
    return !exchange.Failed();
}

bool CDialog::PreTranslateMessage(MSG& msg) { return Hwnd() != nullptr && ::IsDialogMessageA(Hwnd(), &msg); }

BOOL CDialog::OnInitDialog() {
    UpdateData(false);
    return TRUE;
}

void CDialog::OnOK() {
    if (UpdateData(true)) EndDialog(IDOK);
}

void CDialog::OnCancel() { EndDialog(IDCANCEL); }

void CDialog::DoDataExchange(CDataExchange&) {}

bool CDialog::OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    if (message == WM_INITDIALOG) {
        ::GetWindowRect(Hwnd(), &m_createdRect);
        result = OnInitDialog();
        return true;
    }
    if (CWnd::OnWndMsg(message, wParam, lParam, result)) return true;
    // IDOK and IDCANCEL that the table left, from a button (BN_CLICKED, 0),
    // a menu (0) or an accelerator (1). Escape (IsDialogMessage) and the
    // close command (DefDlgProc's WM_CLOSE) arrive as IDCANCEL even without
    // such a control in the template.
    if (message == WM_COMMAND && HIWORD(wParam) <= 1) {
        if (LOWORD(wParam) == IDOK) {
            OnOK();
            result = 0;
            return true;
        }
        if (LOWORD(wParam) == IDCANCEL) {
            OnCancel();
            result = 0;
            return true;
        }
    }
    return false;
}

INT_PTR CALLBACK CDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        // The messages before this one (WM_SETFONT, WM_CREATE...) get the
        // dialog manager's default processing.
        auto* created = reinterpret_cast<CDialog*>(lParam);
        created->BindHandle(window);
    }
    auto* dialog = static_cast<CDialog*>(FromHandle(window));
    if (dialog == nullptr) return FALSE;

    LRESULT result = 0;
    const bool handled = dialog->RouteMessage(message, wParam, lParam, result);
    if (message == WM_NCDESTROY && FromHandle(window) == dialog) dialog->ReleaseHandle();
    if (!handled) return FALSE;  // default processing by DefDlgProc
    if (AnswersDirectly(message)) return static_cast<INT_PTR>(result);
    // Set immediately before returning: a nested dialog's message could
    // overwrite it otherwise.
    ::SetWindowLongPtrA(window, DWLP_MSGRESULT, result);
    return TRUE;
}
