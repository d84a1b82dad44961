#include "app/win32/ConverterApp.h"

#include "app/Paths.h"
#include "ui/MainDialog.h"

bool CConverterApp::InitInstance() {
    SetHelpFilePath(CompiledHelpPath(HelpFilePath()));

    CMainDialog dialog;
    SetMainWindow(&dialog);
    dialog.DoModal();
    SetMainWindow(nullptr);
    // No message loop of the application's own: the program ends here.
    return false;
}
