#pragma once

#include <windows.h>

#include <string>

class CWnd;

// The process's one application object, created before Run (typically a
// static object of the program) and living until the process ends. Run is
// called from WinMain:
//   int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return CApp::Current()->Run(); }
// There is no message loop of the application's own: InitInstance runs the
// program (a modal main dialog runs its own loop), and the process ends
// when it returns.
class CApp {
public:
    // String resource holding the application title.
    static constexpr UINT kTitleStringId = 57344;

    CApp();
    virtual ~CApp();
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;

    static CApp* Current();

    // Registers the common controls, sets the title (string kTitleStringId,
    // or the program file's base name without it) and the help-file path,
    // then calls InitInstance inside the failure report. Returns 0.
    int Run();

    // The program's own full path with the extension ".chm": the compiled
    // help file lies beside the program under its name. Empty when the
    // program's path cannot be had.
    const std::string& HelpFilePath() const { return m_helpFilePath; }

    // The main window: owner of AppMessageBox and of dialogs made without a
    // parent. Its window handle goes to AppMainWindow (winfw/MessageBoxes.h)
    // as soon as a dialog set here has its window, and is taken back when the
    // window is destroyed.
    CWnd* MainWindow() const { return m_mainWindow; }
    void SetMainWindow(CWnd* window);

protected:
    // Runs the program; its answer is not used.
    virtual bool InitInstance() = 0;

private:
    std::string m_helpFilePath;
    CWnd* m_mainWindow = nullptr;
};

// The program file's full path, however long; empty if the system cannot
// give it.
std::string ProgramPath();

// Registers the common controls' window classes the dialogs use (progress
// bar, tooltip). Run does it; call it before creating such controls elsewhere.
void EnableCommonControls();
