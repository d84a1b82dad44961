#pragma once

#include <windows.h>

#include <atomic>
#include <functional>

#include "winfw/Handles.h"

// Work that runs on a thread of its own while the window thread that
// started it goes on painting and answering the system; the work has its
// calls that touch windows made on the window thread, each awaited:
//   CWorker worker;                                  // on the window thread
//   worker.Run([&] { ... worker.Call([&] { ShowSomething(); }); ... }, dropInput);
// A call is a message sent to a hidden window of the worker's own, so it is
// made also while the window thread waits in any modal loop (a message box).
class CWorker {
public:
    CWorker();
    ~CWorker();
    CWorker(const CWorker&) = delete;
    CWorker& operator=(const CWorker&) = delete;

    // Runs `work` on a new thread and handles this thread's messages until
    // it returns, dropping those for which `drop` answers true. A WM_QUIT
    // taken meanwhile is posted again once the work is over, for the loop
    // that called. Rethrows what `work` threw. When no thread can be had,
    // the work runs on this thread.
    void Run(const std::function<void()>& work, const std::function<bool(const MSG&)>& drop);

    // Makes `call` on the thread that made the worker and waits for it; on
    // that thread itself, simply makes it. A failure that escapes `call` is
    // reported there (winfw/ErrorReporting.h).
    void Call(const std::function<void()>& call);

private:
    // A failure of a call that nobody reports must not unwind through the
    // system's frames that called the procedure: noexcept ends the program there.
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept;

    DWORD m_threadId;
    UniqueWindow m_window;
    std::atomic<bool> m_ended = false;
    std::atomic<const std::function<void()>*> m_call = nullptr;
};
