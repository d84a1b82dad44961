#include "winfw/App.h"

#include <commctrl.h>

#include "base/Paths.h"
#include "winfw/MessageBoxes.h"
#include "winfw/ErrorReporting.h"
#include "winfw/Wnd.h"

namespace {

CApp* g_currentApp = nullptr;

std::string DefaultTitle(const std::string& programPath) {
    char title[256] = {};
    if (::LoadStringA(::GetModuleHandleA(nullptr), CApp::kTitleStringId, title, sizeof title) > 0) return title;
    return SplitPath(programPath).baseName;
}

}  // namespace

std::string ProgramPath() {
    // GetModuleFileNameA answers the length it copied; a path that did not
    // fit is cut and fills the whole buffer (with or without its zero,
    // depending on the Windows version), so a full buffer means "try larger".
    for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
        std::string path(size, '\0');
        DWORD length = ::GetModuleFileNameA(nullptr, path.data(), size);
        if (length == 0) return {};
        if (length < size - 1) {
            path.resize(length);
            return path;
        }
    }
    return {};
}

void EnableCommonControls() {
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&classes);
}

CApp::CApp() { g_currentApp = this; }

CApp::~CApp() {
    if (g_currentApp == this) g_currentApp = nullptr;
}

CApp* CApp::Current() { return g_currentApp; }

void CApp::SetMainWindow(CWnd* window) {
    m_mainWindow = window;
    SetAppMainWindow(window != nullptr ? window->Hwnd() : nullptr);
}

int CApp::Run() {
    EnableCommonControls();
    const std::string programPath = ProgramPath();
    SetAppTitle(DefaultTitle(programPath));
    if (!programPath.empty()) m_helpFilePath = ReplaceExtension(programPath, ".chm");
    RunReportingFailures([&] { InitInstance(); });
    return 0;
}
