#pragma once

// The report for a failure that escapes a command: a FileError is shown with
// AppMessageBox, the stop icon and the text for its cause; running out of
// memory with its own text, the exclamation icon, system-modal. Call only
// inside a catch block. Returns false, having shown nothing, for any other
// exception. The program installs it into the window layer
// (SetFailureReporter).
bool ShowFailureReport();
