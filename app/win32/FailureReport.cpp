#include "app/win32/FailureReport.h"

#include <new>

#include "app/ErrorReport.h"
#include "app/Texts.h"
#include "app/win32/MessageBoxes.h"

namespace {

void ShowOutOfMemory() { AppMessageBox(texts::kOutOfMemory, MB_ICONEXCLAMATION | MB_SYSTEMMODAL); }

}  // namespace

bool ShowFailureReport() {
    try {
        throw;
    } catch (const FileError& error) {
        try {
            AppMessageBox(ErrorReportText(error), MB_ICONSTOP);
        } catch (const std::bad_alloc&) {
            ShowOutOfMemory();
        }
    } catch (const std::bad_alloc&) {
        ShowOutOfMemory();
    } catch (...) {
        return false;
    }
    return true;
}
