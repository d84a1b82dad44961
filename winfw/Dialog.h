#pragma once

#include "winfw/Wnd.h"

class CDialog;

// One run of a dialog's data exchange: binds controls to objects and moves
// values between controls and members, in one direction.
class CDataExchange {
public:
    CDataExchange(CDialog& dialog, bool saving) : m_dialog(dialog), m_saving(saving) {}

    CDialog& Dialog() const { return m_dialog; }
    bool IsSaving() const { return m_saving; }  // control -> member

    void Fail() { m_failed = true; }
    bool Failed() const { return m_failed; }

private:
    CDialog& m_dialog;
    bool m_saving;
    bool m_failed = false;
};

// Subclasses the dialog's control `controlId` by `control`, once: a control
// already bound stays as it is. A missing control fails the exchange.
void BindControl(CDataExchange& exchange, int controlId, CWnd& control);

// A dialog built from a dialog template resource of the program, run
// modally by DoModal or created modeless by Create.
class CDialog : public CWnd {
public:
    // DoModal's answer when the dialog could not be created, or when a
    // WM_QUIT ended its loop (the WM_QUIT is posted again for the next loop).
    static constexpr INT_PTR kNotEnded = -1;

    explicit CDialog(UINT templateId) : m_templateId(templateId) {}
    ~CDialog() override;

    // Creates the window owned by `owner` (none: a top-level window of its
    // own), disables the owner, shows the window (centred over the owner
    // unless the template or the initialisation placed or showed it), runs
    // the dialog's own message loop until EndDialog, re-enables the owner,
    // destroys the window and returns EndDialog's code.
    INT_PTR DoModal(HWND owner);

    // Ends DoModal's loop once the current message has been handled.
    void EndDialog(INT_PTR result);

    // Creates the window modeless, owned by `owner`; visible only if the
    // template says WS_VISIBLE. The object must outlive the window or destroy
    // it: the destructor destroys a window still there.
    bool Create(HWND owner);

    // Runs DoDataExchange; false if the exchange failed.
    bool UpdateData(bool saving);

    // Default: IsDialogMessageA, the dialog manager's keyboard handling
    // (Tab, Enter, Escape).
    bool PreTranslateMessage(MSG& msg) override;

protected:
    // WM_INITDIALOG. Default: binds the controls and loads their values
    // (UpdateData(false)); returns TRUE so the system focuses the first tab stop.
    virtual BOOL OnInitDialog();
    // Command IDOK: saves the values (UpdateData(true)), then ends with IDOK.
    virtual void OnOK();
    // Command IDCANCEL (also Escape and the close command): ends with IDCANCEL.
    virtual void OnCancel();
    virtual void DoDataExchange(CDataExchange& exchange);

    bool OnWndMsg(UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result) override;

private:
    static INT_PTR CALLBACK DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND CreateWindowFromTemplate(HWND owner);
    INT_PTR RunModalLoop();
    void CentreIfUnplaced();

    UINT m_templateId;
    bool m_ended = false;
    INT_PTR m_result = kNotEnded;
    RECT m_createdRect{};  // where the template put the window
};
