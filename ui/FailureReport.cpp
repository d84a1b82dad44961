#include "ui/FailureReport.h"

#include <new>

#include "base/ErrorReport.h"
#include "base/Texts.h"
#include "winfw/MessageBoxes.h"

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
