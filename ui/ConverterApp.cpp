#include "ui/ConverterApp.h"

#include "res/resource.h"
#include "ui/FailureReport.h"
#include "ui/MainDialog.h"
#include "winfw/ErrorReporting.h"

CConverterApp::CConverterApp() : CApp(IDS_APP_TITLE) {}

bool CConverterApp::InitInstance() {
    SetFailureReporter(&ShowFailureReport);
    CMainDialog dialog(HelpFilePath());
    dialog.DoModal(nullptr);
    // No message loop of the application's own: the program ends here.
    return false;
}
