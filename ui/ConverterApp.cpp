#include "ui/ConverterApp.h"

#include "ui/FailureReport.h"
#include "ui/MainDialog.h"
#include "winfw/ErrorReporting.h"

bool CConverterApp::InitInstance() {
    SetFailureReporter(&ShowFailureReport);

    CMainDialog dialog;
    SetMainWindow(&dialog);
    dialog.DoModal();
    SetMainWindow(nullptr);
    // No message loop of the application's own: the program ends here.
    return false;
}
