#pragma once

// Drives the real Tabulo.exe from a test, the way a user would. The control
// ids are the program's (res/resource.h).

#include <windows.h>

#include <commctrl.h>

#include <string>
#include <vector>

#include "res/resource.h"

namespace e2e {

constexpr DWORD kTimeoutMs = 10000;

template <class Condition>
bool WaitFor(Condition condition, DWORD timeoutMs = kTimeoutMs) {
    for (const DWORD start = ::GetTickCount(); !condition(); ::Sleep(5))
        if (::GetTickCount() - start > timeoutMs) return false;
    return true;
}

std::string ProgramPath();
// A window's text (a caption, a control's text), also of another process.
std::string TextOf(HWND window);

// One running Tabulo.exe and its main dialog; terminated when the object dies.
class Program {
public:
    // Starts the program and waits for its dialog; the test fails when none appears.
    explicit Program(const std::string& currentDirectory = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return m_dialog != nullptr; }
    HWND Dialog() const { return m_dialog; }
    HWND Item(int id) const { return ::GetDlgItem(m_dialog, id); }
    DWORD ProcessId() const { return m_process.dwProcessId; }

    std::string Text(int id) const { return TextOf(Item(id)); }
    // As pasted: the field reports a change.
    void SetText(int id, const std::string& text) const {
        ::SendMessageA(Item(id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
    }
    bool IsChecked(int id) const { return ::SendMessageA(Item(id), BM_GETCHECK, 0, 0) == BST_CHECKED; }
    bool IsEnabled(int id) const { return ::IsWindowEnabled(Item(id)) != FALSE; }
    int Progress() const { return static_cast<int>(::SendMessageA(Item(IDC_PROGRESS), PBM_GETPOS, 0, 0)); }
    bool IsTopmost() const { return (::GetWindowLongA(m_dialog, GWL_EXSTYLE) & WS_EX_TOPMOST) != 0; }

    // Posted, as the mouse would: the driver never waits in the program's handler.
    void Click(int id) const { ::PostMessageA(Item(id), BM_CLICK, 0, 0); }
    void Drop(const std::vector<std::string>& paths, POINT clientPoint) const;
    POINT CentreOf(int id) const;
    // Returns once the program has handled everything posted to it before.
    void Sync();

    // A message box or the About box over the dialog, or null.
    HWND OpenBox() const;
    HWND WaitForBox() const;
    // Clicks the button and waits until the box is gone.
    void Answer(HWND box, int buttonId) const;

    // The exit code, or STILL_ACTIVE.
    DWORD WaitForExit() const;

private:
    PROCESS_INFORMATION m_process{};
    HWND m_dialog = nullptr;
    int m_syncCount = 0;
};

// The program's settings (HKEY_CURRENT_USER\Software\Corvane\Tabulo), seen
// at once: the test runs in the program's Wine prefix.
void DeleteSettings();
// A DWORD in decimal, a string as it is, "?" when missing or of another type.
std::string Setting(const char* name);

}  // namespace e2e
