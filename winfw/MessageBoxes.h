#pragma once

#include <windows.h>

#include <string>
#include <string_view>

// The program's two kinds of message box. Both are modal and return the
// button pressed (IDOK, IDYES, IDNO).

// Caption: the application title; owner: the pop-up last active over the
// application's main window (the main window itself when none is), so the
// box stays above whatever the user sees.
int AppMessageBox(std::string_view text, UINT style);
// The given owner and caption.
int WindowMessageBox(HWND owner, std::string_view text, std::string_view caption, UINT style);

// The application title ("Arrayforge" until the application sets it).
const std::string& AppTitle();
void SetAppTitle(std::string title);

// The application's main window, owner of every AppMessageBox: set by the
// program while its main window exists (this is the one place that holds
// it); none by default.
HWND AppMainWindow();
void SetAppMainWindow(HWND window);
