#pragma once

#include <windows.h>

#include "winfw/Handles.h"
#include "winfw/Wnd.h"

// Thin wrappers of the controls the dialogs use; bind them with BindControl
// (winfw/Dialog.h) or SubclassDlgItem.

class CStatic : public CWnd {};

class CButton : public CWnd {
public:
    void SetCheck(int state);  // BST_UNCHECKED, BST_CHECKED or BST_INDETERMINATE
    // The button keeps showing `bitmap` but does not own it. Returns the previous image.
    HBITMAP SetBitmap(HBITMAP bitmap);
};

class CEdit : public CWnd {};

class CProgressCtrl : public CWnd {
public:
    // Within the default range, 0 to 100.
    int SetPos(int position);  // returns the previous position
    int GetPos() const;
};

// A tooltip window of its own ("tooltips_class32"), destroyed with the object;
// active from its creation (TTM_ACTIVATE is needed only to switch it off).
// The tooltip watches no window by itself: the owner relays the mouse
// messages it should see (RelayEvent), typically from PreTranslateMessage.
class CToolTipCtrl {
public:
    // A WS_POPUP window with `style` (e.g. TTS_ALWAYSTIP) added, owned by `owner`.
    bool Create(HWND owner, DWORD style = 0);
    HWND Hwnd() const { return m_window.Get(); }

    // Adds `tool`, a child window, identified by its handle (TTF_IDISHWND);
    // notifications go to its parent. The text is either string resource
    // `textId` of `module`, loaded by the tooltip itself when shown, or a
    // copy of `text`. A tool the control refuses simply shows no tip.
    void AddTool(HWND tool, UINT textId, HINSTANCE module);
    void AddTool(HWND tool, const char* text);

    void RelayEvent(const MSG& msg);

private:
    void AddToolWithText(HWND tool, char* text, HINSTANCE module);

    UniqueWindow m_window;
};
