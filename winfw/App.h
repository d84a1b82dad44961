#pragma once

#include <windows.h>

#include <string>

class CWnd;

// The process's one application object, created before Run (typically a
// static object of the program) and living until the process ends. Run is
// called from WinMain:
//   int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) { return CApp::Current()->Run(); }
class CApp {
public:
    // String resource holding the application title.
    static constexpr UINT kTitleStringId = 57344;

    CApp();
    virtual ~CApp();
    CApp(const CApp&) = delete;
    CApp& operator=(const CApp&) = delete;

    static CApp* Current();

    // Sets the title (string kTitleStringId, or the program file's base name
    // without it) and the default help-file path, then calls InitInstance.
    // If that returns true, runs a message loop until WM_QUIT and returns its
    // exit code; otherwise returns 0 at once.
    int Run();

    // The caption of every AppMessageBox.
    static const std::string& Title();
    static void SetTitle(std::string title);

    // By default the program's full path with the extension ".HLP".
    const std::string& HelpFilePath() const { return m_helpFilePath; }
    void SetHelpFilePath(std::string path) { m_helpFilePath = std::move(path); }

    // The main window: owner of AppMessageBox and of dialogs made without a
    // parent. Its window handle goes to AppMainWindow (app/MessageBoxes.h)
    // as soon as a dialog set here has its window, and is taken back when the
    // window is destroyed.
    CWnd* MainWindow() const { return m_mainWindow; }
    void SetMainWindow(CWnd* window);

protected:
    virtual bool InitInstance();

private:
    std::string m_helpFilePath;
    CWnd* m_mainWindow = nullptr;
};

// Registers the common controls' window classes the dialogs use (progress
// bar, tooltip). Run does it; call it before creating such controls elsewhere.
void EnableCommonControls();
