#pragma once

// The program's way to the Windows HTML Help engine (hhctrl.ocx). The engine
// is not linked in: the loader finds it through its COM registration, loads
// it on the first call and forwards every call to its HtmlHelpA. All help
// traffic goes through InvokeHtmlHelp.
//
// The program sends three commands (values from <htmlhelp.h>):
//   HH_DISPLAY_TOC (1)     caller window, help file, data 0   help button
//   HH_CLOSE_ALL (0x12)    no window, no file, data 0         main window destroyed
//   HH_UNINITIALIZE (0x1D) no window, no file, data 0         right after HH_CLOSE_ALL

#include <windows.h>

#include <htmlhelp.h>

#include <string>

// Size of the buffer that receives the registered engine path.
inline constexpr DWORD kHelpEnginePathSize = 260;

// Calls the engine's HtmlHelpA with the four arguments unchanged and returns
// its result. Loads the engine on the first call; returns 0 when it cannot be
// loaded or lacks its entry point. A failed load is never retried: from then
// on every call returns 0 at once.
HWND InvokeHtmlHelp(HWND caller, LPCSTR file, UINT command, DWORD_PTR data);

// Reads the registered engine path (HKEY_CLASSES_ROOT, the default value of
// CLSID\{ADB880A6-D8FF-11CF-9377-00AA003B7A11}\InprocServer32) into
// `enginePath`. False when the key or its value is missing, or the value
// does not fit with its terminating zero; `enginePath` is then unspecified.
bool FindRegisteredHelpEngine(char (&enginePath)[kHelpEnginePathSize]);

// What the loader asks of the system: the registered engine path, a library
// load and the engine's entry point. The real operations are the default; a
// test puts its own with ResetHelpEngineLoader.
using HtmlHelpFunction = HWND(WINAPI*)(HWND, LPCSTR, UINT, DWORD_PTR);
struct HelpEngineAccess {
    bool (*findRegistered)(char (&enginePath)[kHelpEnginePathSize]);  // FindRegisteredHelpEngine
    HMODULE (*loadLibrary)(const char* path, DWORD flags);            // LoadLibraryExA
    HtmlHelpFunction (*findEntryPoint)(HMODULE engine);               // HtmlHelpA, by its number
};
HelpEngineAccess RealHelpEngineAccess();

// Forgets the loader's state (as at process start) and makes it use
// `access` from now on; answers the access used before. The engine loaded
// until then stays loaded. For tests: the program never calls it.
HelpEngineAccess ResetHelpEngineLoader(const HelpEngineAccess& access);

// The help button: the help file's table of contents, for `caller` (the main
// window, or none). Shows nothing of its own when help cannot be shown.
void ShowHelpContents(HWND caller, const std::string& helpFile);

// Shut-down: closes every help window the engine opened for the process,
// then lets the engine uninitialise. Loads the engine if help was never
// opened. Failures are ignored.
void CloseAllHelp();
