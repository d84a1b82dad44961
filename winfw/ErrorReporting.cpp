#include "winfw/ErrorReporting.h"

#include <new>

#include "app/ErrorReport.h"
#include "app/FileError.h"
#include "app/MessageBoxes.h"
#include "app/Texts.h"

namespace {

void ReportOutOfMemory() { AppMessageBox(texts::kOutOfMemory, OutOfMemoryReportStyle()); }

}  // namespace

void ReportCurrentFailure() {
    try {
        throw;
    } catch (const FileError& error) {
        try {
            AppMessageBox(ErrorReportText(error), FileErrorReportStyle());
        } catch (const std::bad_alloc&) {
            ReportOutOfMemory();
        }
    } catch (const std::bad_alloc&) {
        ReportOutOfMemory();
    }
}
