#include "winfw/Worker.h"

#include <exception>
#include <system_error>
#include <thread>
#include <utility>

#include "winfw/ErrorReporting.h"

namespace {

constexpr char kWindowClass[] = "winfw.Worker";
// Sent to the worker's window: the awaited call is waiting in m_call. It
// carries nothing, so one sent by anybody else is harmless. (The work's end
// is a posted WM_NULL: it only has to wake the waiting loop.)
constexpr UINT kCallMessage = WM_APP;

}  // namespace

CWorker::CWorker() : m_threadId(::GetCurrentThreadId()) {
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = &WindowProc;
    windowClass.hInstance = ::GetModuleHandleA(nullptr);
    windowClass.lpszClassName = kWindowClass;
    ::RegisterClassA(&windowClass);  // fails harmlessly once registered
    // A message-only window: never shown, never enumerated, gets only what is sent to it.
    m_window.Reset(::CreateWindowExA(0, kWindowClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                     ::GetModuleHandleA(nullptr), nullptr));
    ::SetWindowLongPtrA(m_window.Get(), GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

CWorker::~CWorker() = default;

LRESULT CALLBACK CWorker::WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) noexcept {
    if (message != kCallMessage) return ::DefWindowProcA(window, message, wParam, lParam);
    auto* worker = reinterpret_cast<CWorker*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
    if (worker != nullptr) {
        if (const auto* call = worker->m_call.exchange(nullptr)) RunReportingFailures(*call);
    }
    return 0;
}

void CWorker::Call(const std::function<void()>& call) {
    if (::GetCurrentThreadId() == m_threadId) {
        RunReportingFailures(call);
        return;
    }
    m_call = &call;
    // Returns once the window thread has made the call.
    ::SendMessageA(m_window.Get(), kCallMessage, 0, 0);
}

void CWorker::Run(const std::function<void()>& work, const std::function<bool(const MSG&)>& drop) {
    std::exception_ptr failure;
    m_ended = false;
    std::thread thread;
    if (m_window) {
        try {
            thread = std::thread([&] {
                try {
                    work();
                } catch (...) {
                    failure = std::current_exception();
                }
                m_ended = true;
                ::PostMessageA(m_window.Get(), WM_NULL, 0, 0);  // wakes the loop below
            });
        } catch (const std::system_error&) {
        }
    }
    if (!thread.joinable()) {
        work();  // no thread, or no window for its calls, to be had: this one waits
        return;
    }
    int quitCode = 0;
    bool quit = false;
    while (!m_ended) {
        MSG msg;
        const BOOL got = ::GetMessageA(&msg, nullptr, 0, 0);
        if (got == -1) {
            ::Sleep(1);
            continue;
        }
        if (got == 0) {
            quit = true;
            quitCode = static_cast<int>(msg.wParam);
        } else if (!drop(msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    thread.join();
    // The loop that called us must see the quit request too.
    if (quit) ::PostQuitMessage(quitCode);
    if (failure) std::rethrow_exception(failure);
}
