// The system's paths through stand-ins for the system calls, and the worker
// against windows of this thread.

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>
#include <vector>

#include "TestSupportWin.h"
#include "winfw/ErrorReporting.h"
#include "winfw/SystemPaths.h"
#include "winfw/Worker.h"

std::string g_path;                // what the stand-ins' system call would give
UINT g_answer = 0;                 // SystemFolder's answer
std::vector<DWORD> g_sizesAsked;  // ModuleFileName's buffer sizes

// As Windows does: a path that does not fit is cut to the buffer with its
// zero, and the buffer's size is answered.
DWORD WINAPI ModuleFileName(HMODULE, LPSTR buffer, DWORD size) {
    g_sizesAsked.push_back(size);
    const DWORD length = std::min<DWORD>(g_path.size(), size - 1);
    g_path.copy(buffer, length);
    buffer[length] = '\0';
    return g_path.empty() ? 0 : g_path.size() < size ? length : size;
}
UINT WINAPI SystemFolder(LPSTR buffer, UINT size) {
    if (g_answer < size) g_path.copy(buffer, g_answer);
    return g_answer;
}

TEST(SystemPaths, ProgramPathIsAskedWithLargerBuffersUntilItFits) {
    // Length of the path; the buffer sizes asked (a full one means "try larger").
    for (const auto& [length, sizes] : std::vector<std::pair<std::size_t, std::vector<DWORD>>>{
             {0, {260}}, {258, {260}}, {259, {260, 520}}, {260, {260, 520}}, {600, {260, 520, 1040}},
             {32767, {260, 520, 1040, 2080, 4160, 8320, 16640}}}) {
        g_path = std::string(length, 'p');
        g_sizesAsked.clear();
        EXPECT_EQ(ProgramPath(&ModuleFileName), length < 32767 ? g_path : "") << length;
        EXPECT_EQ(g_sizesAsked, sizes) << length;
    }
}

TEST(SystemPaths, SystemFolderFileNeedsTheFolderToFit) {
    // The call's answer (0: failed; MAX_PATH or more: too small), the path made.
    const std::string longest = "C:\\" + std::string(MAX_PATH - 4, 'w');  // 259 bytes
    for (const auto& [answer, made] : std::vector<std::pair<UINT, std::string>>{
             {0, ""}, {3, "C:\\\\f.exe"}, {MAX_PATH - 1, longest + "\\f.exe"}, {MAX_PATH, ""}, {MAX_PATH + 1, ""}}) {
        g_path = answer == 3 ? "C:\\" : longest + "w";
        g_answer = answer;
        EXPECT_EQ(SystemFolderFile(&SystemFolder, "f.exe"), made) << answer;
    }
}

std::string TextOf(HWND window) {
    char text[16] = {};
    ::SendMessageA(window, WM_GETTEXT, sizeof text, reinterpret_cast<LPARAM>(text));
    return text;
}

TEST(Worker, WorkRunsOnItsOwnThreadItsCallsOnTheWindowsThread) {
    SetFailureReporter(&RecordFailure);
    g_reported.clear();
    const HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    const DWORD windowThread = ::GetCurrentThreadId();
    CWorker worker;
    std::vector<DWORD> threads;
    worker.Run(
        [&] {
            threads.push_back(::GetCurrentThreadId());
            worker.Call([&] {
                threads.push_back(::GetCurrentThreadId());
                PostKey(edit, 'Y');  // dropped
                PostKey(edit, 'X');
            });
            worker.Call([] { throw std::runtime_error("reported"); });
            // Asked across threads: answered by the window's thread while it waits.
            for (int i = 0; i < 500 && TextOf(edit) != "x"; ++i) ::Sleep(10);
            worker.Call([] { ::PostQuitMessage(4); });
        },
        [](const MSG& msg) { return msg.wParam == 'Y'; });
    ASSERT_EQ(threads.size(), 2u);
    EXPECT_NE(threads[0], windowThread);
    EXPECT_EQ(threads[1], windowThread);
    EXPECT_EQ(TextOf(edit), "x") << "keys translated, the dropped one not";
    EXPECT_EQ(g_reported, std::vector<std::string>{"reported"});
    MSG quit{};
    EXPECT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 4) << "posted again";
    EXPECT_THROW(worker.Run([] { throw std::runtime_error("rethrown"); }, [](const MSG&) { return false; }),
                 std::runtime_error);
    ::DestroyWindow(edit);
}
