// Times one conversion in the window program the way a user starts it:
//   window_driver PROGRAM INPUT OUTPUT [char|uint|ulong]
// starts PROGRAM, fills in the paths, picks the type, clicks Convert and
// waits for the completion box. Meanwhile a second thread asks the window
// for an answer (WM_NULL) every few milliseconds. Prints the seconds from
// the click to the box, the longest the window took to answer, and when
// that wait began (seconds after the click).

#include <windows.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "base/Texts.h"
#include "res/resource.h"

namespace {

double Now() {
    LARGE_INTEGER count{}, frequency{};
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// A visible dialog of the thread other than `except`.
HWND FindDialog(DWORD threadId, HWND except) {
    for (HWND window = ::FindWindowExA(nullptr, nullptr, "#32770", nullptr); window != nullptr;
         window = ::FindWindowExA(nullptr, window, "#32770", nullptr))
        if (window != except && ::IsWindowVisible(window) && ::GetWindowThreadProcessId(window, nullptr) == threadId)
            return window;
    return nullptr;
}

template <class Condition>
bool WaitFor(Condition condition, double seconds, DWORD pollMs) {
    for (const double start = Now(); !condition(); ::Sleep(pollMs))
        if (Now() - start > seconds) return false;
    return true;
}

int Fail(const char* what) {
    std::fprintf(stderr, "window_driver: %s\n", what);
    return 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 4) return Fail("usage: window_driver PROGRAM INPUT OUTPUT [char|uint|ulong]");
    const std::string type = argc > 4 ? argv[4] : "char";
    const int radio = type == "uint" ? IDC_TYPE_2BYTE : type == "ulong" ? IDC_TYPE_4BYTE : IDC_TYPE_1BYTE;

    std::string commandLine = std::string("\"") + argv[1] + "\"";
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(argv[1], commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return Fail("cannot start the program");
    HWND dialog = nullptr;
    if (!WaitFor([&] { return (dialog = FindDialog(process.dwThreadId, nullptr)) != nullptr; }, 20, 10)) {
        ::TerminateProcess(process.hProcess, 1);
        return Fail("no window appeared");
    }
    ::SendMessageA(::GetDlgItem(dialog, IDC_SOURCE_PATH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[2]));
    ::SendMessageA(::GetDlgItem(dialog, IDC_OUTPUT_PATH), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(argv[3]));
    ::SendMessageA(::GetDlgItem(dialog, radio), BM_CLICK, 0, 0);

    // The longest wait for an answer, in seconds, while the run goes on.
    std::atomic<bool> running{true};
    std::atomic<double> longest{0};
    std::atomic<double> longestAt{0};  // when it began, from the click
    std::atomic<double> clicked{0};
    std::thread watcher([&] {
        while (running) {
            const double sent = Now();
            DWORD_PTR answer = 0;
            ::SendMessageTimeoutA(dialog, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer);
            const double waited = Now() - sent;
            if (waited > longest) {
                longest = waited;
                longestAt = sent - clicked;
            }
            ::Sleep(2);
        }
    });

    clicked = Now();
    ::PostMessageA(::GetDlgItem(dialog, IDC_CONVERT), BM_CLICK, 0, 0);
    HWND box = nullptr;
    const bool done = WaitFor([&] { return (box = FindDialog(process.dwThreadId, dialog)) != nullptr; }, 120, 1);
    const double seconds = Now() - clicked.load();
    running = false;
    watcher.join();

    char text[256] = {};
    if (done) ::GetDlgItemTextA(box, 0xFFFF, text, sizeof text);
    ::TerminateProcess(process.hProcess, 0);
    ::WaitForSingleObject(process.hProcess, 10000);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    if (!done) return Fail("no box after the click");
    if (text != texts::kFileWritten)
        return Fail("the box after the click is not the completion box");
    std::printf("%.3f %.3f %.3f\n", seconds, longest.load(), longestAt.load());
    return 0;
}
