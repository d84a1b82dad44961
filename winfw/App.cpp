#include "winfw/App.h"

#include <commctrl.h>

#include "base/Paths.h"
#include "winfw/ErrorReporting.h"
#include "winfw/MessageBoxes.h"
#include "winfw/SystemPaths.h"

void EnableCommonControls() {
    INITCOMMONCONTROLSEX classes{sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&classes);
}

int CApp::Run() {
    EnableCommonControls();
    const std::string programPath = ProgramPath();
    char title[256] = {};
    if (::LoadStringA(::GetModuleHandleA(nullptr), m_titleStringId, title, sizeof title) > 0)
        SetAppTitle(title);
    else
        SetAppTitle(SplitPath(programPath).baseName);
    if (!programPath.empty()) m_helpFilePath = ReplaceExtension(programPath, ".chm");
    RunReportingFailures([&] { InitInstance(); });
    return 0;
}
