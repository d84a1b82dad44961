#include "winfw/Controls.h"

#include <commctrl.h>

void CButton::SetCheck(int state) { Send(BM_SETCHECK, static_cast<WPARAM>(state)); }

HBITMAP CButton::SetBitmap(HBITMAP bitmap) {
    return reinterpret_cast<HBITMAP>(Send(BM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(bitmap)));
}

int CProgressCtrl::SetPos(int position) { return static_cast<int>(Send(PBM_SETPOS, static_cast<WPARAM>(position))); }

int CProgressCtrl::GetPos() const { return static_cast<int>(Send(PBM_GETPOS)); }

bool CToolTipCtrl::Create(HWND owner, DWORD style) {
    m_window.Reset(::CreateWindowExA(0, TOOLTIPS_CLASSA, nullptr, WS_POPUP | style, CW_USEDEFAULT, CW_USEDEFAULT,
                                     CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr, ::GetModuleHandleA(nullptr),
                                     nullptr));
    return m_window.IsValid();
}

void CToolTipCtrl::AddTool(HWND tool, UINT textId, HINSTANCE module) {
    AddToolWithText(tool, MAKEINTRESOURCEA(textId), module);
}

void CToolTipCtrl::AddTool(HWND tool, const char* text) {
    // TTM_ADDTOOLA copies the text; the pointer is only non-const by the structure's declaration.
    AddToolWithText(tool, const_cast<char*>(text), nullptr);
}

void CToolTipCtrl::AddToolWithText(HWND tool, char* text, HINSTANCE module) {
    if (!m_window) return;
    TOOLINFOA info{};
    // The size without lpReserved: the common controls version 5 (a program
    // without the version 6 manifest) refuse the larger structure.
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_IDISHWND;
    info.hwnd = ::GetParent(tool);
    info.uId = reinterpret_cast<UINT_PTR>(tool);
    info.hinst = module;
    info.lpszText = text;
    ::SendMessageA(m_window.Get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info));
}

void CToolTipCtrl::RelayEvent(const MSG& msg) {
    if (m_window) ::SendMessageA(m_window.Get(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&msg));
}
