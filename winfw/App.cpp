#include "winfw/App.h"

#include <commctrl.h>

#include "app/MessageBoxes.h"
#include "app/Paths.h"
#include "winfw/ErrorReporting.h"
#include "winfw/Wnd.h"

namespace {

CApp* g_currentApp = nullptr;

std::string ProgramPath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

std::string DefaultTitle(const std::string& programPath) {
    char title[256] = {};
    if (::LoadStringA(::GetModuleHandleA(nullptr), CApp::kTitleStringId, title, sizeof title) > 0) return title;
    return SplitPath(programPath).baseName;
}

std::string DefaultHelpFilePath(const std::string& programPath) {
    PathParts parts = SplitPath(programPath);
    return MakePath(parts.drive, parts.directory, parts.baseName, ".HLP");
}

}  // namespace

void EnableCommonControls() {
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&classes);
}

CApp::CApp() { g_currentApp = this; }

CApp::~CApp() {
    if (g_currentApp == this) g_currentApp = nullptr;
}

CApp* CApp::Current() { return g_currentApp; }

const std::string& CApp::Title() { return AppTitle(); }

void CApp::SetTitle(std::string title) { SetAppTitle(std::move(title)); }

void CApp::SetMainWindow(CWnd* window) {
    m_mainWindow = window;
    SetAppMainWindow(window != nullptr ? window->Hwnd() : nullptr);
}

bool CApp::InitInstance() { return false; }

int CApp::Run() {
    EnableCommonControls();
    const std::string programPath = ProgramPath();
    SetTitle(DefaultTitle(programPath));
    m_helpFilePath = DefaultHelpFilePath(programPath);

    bool runLoop = false;
    RunReportingFailures([&] { runLoop = InitInstance(); });
    if (!runLoop) return 0;

    MSG msg{};
    while (BOOL got = ::GetMessageA(&msg, nullptr, 0, 0)) {
        if (got == -1) return -1;
        bool consumed = false;
        if (m_mainWindow != nullptr && m_mainWindow->Hwnd() != nullptr) {
            consumed = true;  // a hook that failed has had its say
            RunReportingFailures([&] { consumed = m_mainWindow->PreTranslateTree(msg); });
        }
        if (!consumed) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    return static_cast<int>(msg.wParam);
}
