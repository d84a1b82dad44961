#pragma once

// Drives the real Tabulo.exe from the test process, the way a user would:
// texts typed into the fields, files dropped, buttons clicked, keys pressed,
// message boxes read and answered. Everything the program does is observed
// from outside through its windows, its files and its registry key.

#include <windows.h>

#include <string>
#include <string_view>
#include <vector>

namespace e2e {

constexpr DWORD kTimeoutMs = 10000;

// Control ids of the main dialog.
enum Control : int {
    kInput = 1000,
    kOutput = 1001,
    kChar = 1002,
    kUint = 1003,
    kUlong = 1004,
    kConvert = 1005,
    kExit = 1006,
    kProgress = 1008,
    kTopMost = 1012,
};

// Polls `condition` until it holds or `timeoutMs` has passed.
template <class Condition>
bool WaitFor(Condition condition, DWORD timeoutMs = kTimeoutMs) {
    const DWORD start = ::GetTickCount();
    for (;;) {
        if (condition()) return true;
        if (::GetTickCount() - start > timeoutMs) return false;
        ::Sleep(5);
    }
}

// What a message box of the program showed.
struct BoxSeen {
    std::string caption;
    std::string text;
    bool yesNo = false;  // Yes and No buttons; otherwise OK alone
    bool ownedByDialog = false;
};

// One running Tabulo.exe and its main dialog. The process is terminated
// when the object dies, and also when the test process itself dies.
class Program {
public:
    // Starts the program in `currentDirectory` (the test's own when empty)
    // and waits until its dialog is shown; the test fails when it is not.
    explicit Program(const std::string& currentDirectory = {});
    ~Program();
    Program(const Program&) = delete;
    Program& operator=(const Program&) = delete;

    bool Started() const { return m_dialog != nullptr; }
    HWND Dialog() const { return m_dialog; }
    HWND Item(int id) const { return ::GetDlgItem(m_dialog, id); }

    std::string Text(int id) const;
    void SetText(int id, std::string_view text);  // as pasted: the field sees a change
    void FillPaths(std::string_view input, std::string_view output);  // both path fields
    void TypeChar(int id, char ch);                                    // a character typed into the field
    bool IsChecked(int id) const;
    bool IsEnabled(int id) const;
    int ProgressPosition() const;
    bool IsTopmost() const;

    // A click, posted as the mouse would: the driver never waits inside
    // the program's handler (which may open a modal box).
    void Click(int id);
    // Posts a key press to the control that has the keyboard focus.
    void PressKey(UINT virtualKey);
    HWND FocusedWindow() const;

    // Drops `paths` (the first one first) at `clientPoint` of the dialog.
    void Drop(const std::vector<std::string>& paths, POINT clientPoint);
    // The centre of a control, in the dialog's client coordinates.
    POINT CentreOf(int id) const;

    // Returns once the program has handled everything posted to it before.
    void Sync();

    // The visible message box over the dialog, or null.
    HWND OpenBox() const;
    HWND WaitForBox() const;
    BoxSeen Describe(HWND box) const;
    // Clicks `buttonId` of `box` and waits until the box is gone.
    void Answer(HWND box, int buttonId);

    // Waits for the process to end; false if it is still running.
    bool WaitForExit(DWORD timeoutMs = kTimeoutMs);
    DWORD ExitCode() const;

    HANDLE Process() const { return m_process.hProcess; }

private:
    PROCESS_INFORMATION m_process{};
    HANDLE m_job = nullptr;
    HWND m_dialog = nullptr;
    int m_syncCount = 0;
};

// The program's settings in HKEY_CURRENT_USER\Software\Corvane\Tabulo. The
// driver runs in the program's Wine prefix, so it sees what the program
// stored at once.
namespace settings {

void Delete();
bool KeyExists();
bool HasValue(const char* name);
// The value's type and size are checked as well: a failure is reported
// and 0xFFFFFFFF (or "?") returned.
DWORD ReadDword(const char* name);
std::string ReadText(const char* name);
void WriteDword(const char* name, DWORD value);
void WriteText(const char* name, const std::string& text);

}  // namespace settings

}  // namespace e2e
