// The system's paths through stand-ins for the system calls, and the worker
// against a window of this thread.

#include <gtest/gtest.h>

#include <algorithm>

#include "TestSupportWin.h"
#include "winfw/SystemPaths.h"
#include "winfw/Worker.h"

std::string g_path;               // what the stand-ins' system call gives
std::vector<DWORD> g_sizesAsked;  // the buffer sizes ModuleFileName was given

// As Windows does: a path that does not fit is cut to the buffer with its
// zero, and the buffer's size is answered.
DWORD WINAPI ModuleFileName(HMODULE, LPSTR buffer, DWORD size) {
    g_sizesAsked.push_back(size);
    buffer[g_path.copy(buffer, size - 1)] = '\0';
    return g_path.size() < size ? g_path.size() : size;
}
UINT g_answer = 0;
UINT WINAPI SystemFolder(LPSTR buffer, UINT size) { return g_answer < size ? g_path.copy(buffer, g_answer) : g_answer; }

TEST(SystemPaths, ProgramPathIsAskedWithLargerBuffersUntilItFits) {
    // Length of the path (0: the call fails); the buffer sizes asked (a full one means "try larger").
    for (const auto& [length, sizes] :
         std::vector<std::pair<std::size_t, std::vector<DWORD>>>{{0, {260}},
                                                                 {258, {260}},
                                                                 {259, {260, 520}},
                                                                 {260, {260, 520}},
                                                                 {600, {260, 520, 1040}},
                                                                 {32767, {260, 520, 1040, 2080, 4160, 8320, 16640}}}) {
        g_path = std::string(length, 'p');
        g_sizesAsked.clear();
        EXPECT_EQ(ProgramPath(&ModuleFileName), length < 32767 ? g_path : "") << length;
        EXPECT_EQ(g_sizesAsked, sizes) << length;
    }
}

TEST(SystemPaths, SystemFolderFileNeedsTheFolderToFit) {
    g_path = "C:\\" + std::string(MAX_PATH, 'w');
    // The call's answer (0: failed; MAX_PATH or more: too small); the path made.
    for (const auto& [answer, made] :
         std::vector<std::pair<UINT, std::string>>{{0, ""},
                                                   {3, "C:\\\\f.exe"},
                                                   {MAX_PATH - 1, g_path.substr(0, MAX_PATH - 1) + "\\f.exe"},
                                                   {MAX_PATH, ""},
                                                   {MAX_PATH + 1, ""}}) {
        g_answer = answer;
        EXPECT_EQ(SystemFolderFile(&SystemFolder, "f.exe"), made) << answer;
    }
}

TEST(Worker, WorkRunsOnItsOwnThreadItsCallsOnTheWindowsThread) {
    g_reported.clear();
    const HWND edit = ::CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
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
    EXPECT_TRUE(threads.size() == 2 && threads[0] != ::GetCurrentThreadId() && threads[1] == ::GetCurrentThreadId());
    EXPECT_EQ(TextOf(edit), "x") << "keys translated, the dropped one not";
    EXPECT_EQ(g_reported, std::vector<std::string>{"reported"});
    MSG quit{};
    EXPECT_TRUE(::PeekMessageA(&quit, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE) && quit.wParam == 4) << "posted again";
    EXPECT_THROW(worker.Run([] { throw std::runtime_error("rethrown"); }, [](const MSG&) { return false; }),
                 std::runtime_error);
    ::DestroyWindow(edit);
}
