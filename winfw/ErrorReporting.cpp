#include "winfw/ErrorReporting.h"

namespace {

FailureReporter g_reporter = nullptr;

}  // namespace

FailureReporter SetFailureReporter(FailureReporter reporter) { return std::exchange(g_reporter, reporter); }

void ReportCurrentFailure() {
    if (g_reporter == nullptr || !g_reporter()) throw;
}
