#pragma once

#include <windows.h>

#include <commctrl.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "winfw/Wnd.h"

// A key as the keyboard posts it to the window with the focus.
inline void PostKey(HWND window, UINT key) {
    const LPARAM scan = static_cast<LPARAM>(::MapVirtualKeyA(key, MAPVK_VK_TO_VSC)) << 16;
    ::PostMessageA(window, WM_KEYDOWN, key, scan | 1);
    ::PostMessageA(window, WM_KEYUP, key, scan | 0xC0000001);
}

inline std::string TextOf(HWND window) {
    char text[1024] = {};
    ::SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

// Polls `condition` for up to 30 s, handling this thread's messages meanwhile.
template <class Condition>
bool WaitFor(Condition condition) {
    for (const DWORD start = ::GetTickCount(); !condition(); ::Sleep(5)) {
        if (::GetTickCount() - start > 30000) return false;
        for (MSG msg; ::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE);) ::DispatchMessageA(&msg);
    }
    return true;
}

// The tooltip window owned by `owner`, among the desktop's.
inline HWND ToolTipOf(HWND owner) {
    HWND tip = nullptr;
    while ((tip = ::FindWindowExA(nullptr, tip, TOOLTIPS_CLASSA, nullptr)) && ::GetWindow(tip, GW_OWNER) != owner) {
    }
    return tip;
}

// Moves the pointer onto `control` and relays the move through `relay`, as
// the message loop does: whether `tip` then shows.
inline bool TipShowsOnRelayedMove(CWnd& relay, HWND control, HWND tip) {
    RECT box{};
    ::GetWindowRect(control, &box);
    ::SetCursorPos(box.left + 2, box.top + 2);
    MSG move{control, WM_MOUSEMOVE, 0, MAKELPARAM(2, 2), ::GetTickCount(), {box.left + 2, box.top + 2}};
    relay.PreTranslateMessage(move);
    return WaitFor([&] { return ::IsWindowVisible(tip); });
}

// The reporter the program would install (main sets it): it sees each
// failure that escapes a handler; one it does not know goes on unwinding.
inline std::vector<std::string> g_reported;
inline bool RecordFailure() {
    try {
        throw;
    } catch (const std::runtime_error& failure) {
        g_reported.push_back(failure.what());
    } catch (...) {
        return false;
    }
    return true;
}
