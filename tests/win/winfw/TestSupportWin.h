#pragma once

#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

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
