#pragma once

#include <utility>

// The report for failures that escape a handler. The window layer knows no
// failure of its own: the program installs a reporter, called inside the
// catch block, that shows the exception being handled and answers true, or
// answers false for one it does not know. An exception nobody reports is a
// programming error and goes on unwinding.
using FailureReporter = bool (*)();
// Returns the reporter installed before.
FailureReporter SetFailureReporter(FailureReporter reporter);

// Reports the exception being handled; rethrows it when no reporter knows
// it. Call only inside a catch block.
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
