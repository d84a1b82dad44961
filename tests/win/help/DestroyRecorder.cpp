// A window hook that the end-to-end tests set on the program's main thread:
// it writes one line per window destroyed, as the window gets the message,
// to the file named by kDestroyLogVariable:
//   destroy <class>      WM_DESTROY
//   ncdestroy <class>    WM_NCDESTROY (the window's very last message)
// Windows that vanish with their process get neither.

#include <windows.h>

#include <string>

#include "tests/win/help/HelpLogs.h"

// WH_CALLWNDPROC procedure, exported by DestroyRecorder.def.
extern "C" LRESULT CALLBACK RecordDestroy(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HC_ACTION) {
        const auto& sent = *reinterpret_cast<const CWPSTRUCT*>(lParam);
        if (sent.message == WM_DESTROY || sent.message == WM_NCDESTROY) {
            char className[64] = {};
            ::GetClassNameA(sent.hwnd, className, sizeof className);
            AppendLogLine(kDestroyLogVariable, std::string(sent.message == WM_DESTROY ? "destroy " : "ncdestroy ").append(className));
        }
    }
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
