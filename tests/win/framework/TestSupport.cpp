#include "TestSupport.h"

#include "winfw/App.h"

namespace {

LRESULT CALLBACK RecorderProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Recorder().messages.push_back(message);
    if (message == WM_NCDESTROY)
        Recorder().ownProcAtNcDestroy =
            ::GetWindowLongPtrA(window, GWLP_WNDPROC) == reinterpret_cast<LONG_PTR>(&RecorderProc);
    if (message == WM_APP + 1) return 22;
    return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

RecorderLog& Recorder() {
    static RecorderLog log;
    return log;
}

void PrepareWindowTests() {
    EnableCommonControls();
    WNDCLASSA recorderClass{};
    recorderClass.lpfnWndProc = &RecorderProc;
    recorderClass.hInstance = ::GetModuleHandleA(nullptr);
    recorderClass.lpszClassName = "FwRecorder";
    ::RegisterClassA(&recorderClass);  // fails harmlessly once registered
    Recorder() = {};
}
