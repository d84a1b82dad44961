#pragma once

#include <windows.h>

#include <string>

// The process's one application object, created before Run (typically a
// static object of the program) and living until the process ends. Run is
// called from WinMain:
//   int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return theApp.Run(); }
// There is no message loop of the application's own: InitInstance runs the
// program (a modal main dialog runs its own loop), and the process ends
// when it returns.
class CApp {
public:
    // `titleStringId`: the string resource holding the application title.
    explicit CApp(UINT titleStringId) : m_titleStringId(titleStringId) {}
    virtual ~CApp() = default;
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;

    // Registers the common controls, sets the title (the title string, or
    // the program file's base name without it) and the help-file path, then
    // calls InitInstance inside the failure report. Returns 0.
    int Run();

    // The program's own full path with the extension ".chm": the compiled
    // help file lies beside the program under its name. Empty when the
    // program's path cannot be had.
    const std::string& HelpFilePath() const { return m_helpFilePath; }

protected:
    // Runs the program; its answer is not used.
    virtual bool InitInstance() = 0;

private:
    UINT m_titleStringId;
    std::string m_helpFilePath;
};

// Registers the common controls' window classes the dialogs use (progress
// bar, tooltip). Run does it; call it before creating such controls elsewhere.
void EnableCommonControls();
