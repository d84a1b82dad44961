#pragma once

#include <utility>

// The report for failures that escape a handler: a FileError is shown with
// the text for its cause and the stop icon, an out-of-memory failure with its
// own text, exclamation icon, system-modal; both through AppMessageBox. The
// program then goes on. Any other exception is a programming error and is
// not caught here.

// Reports the exception being handled; rethrows it when it is neither a
// FileError nor std::bad_alloc. Call only inside a catch block.
void ReportCurrentFailure();

// Runs `action`; returns false when it failed and the failure was reported.
template <class Action>
bool RunReportingFailures(Action&& action) {
    try {
        std::forward<Action>(action)();
        return true;
    } catch (...) {
        ReportCurrentFailure();
        return false;
    }
}
