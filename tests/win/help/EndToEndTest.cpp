// The program itself (Tabulo.exe, with Tabulo.chm beside it), driven from
// outside as a user would: its help button and its shut-down, first against
// the stand-in engine that records what the program asks of it, then
// against the real engine.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/win/help/HelpLogs.h"
#include "tests/win/help/HelpTestSupport.h"
#include "winfw/Handles.h"
#include "winfw/Handles.h"

namespace {

using testing::ElementsAre;
using testing::StrCaseEq;

constexpr int kHelpButton = 1011;  // IDC_HELP_BUTTON
constexpr DWORD kTimeoutMs = 30000;
// The caption of the help file's window ([WINDOWS] of Tabulo.hhp).
constexpr char kHelpWindowTitle[] = "Arrayforge ヘルプ";

std::string WindowsPath(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

const std::string kProgram = WindowsPath(ARRAYFORGE_PROGRAM);
// The program's own path with the extension "chm".
const std::string kHelpFile = kProgram.substr(0, kProgram.size() - 3).append("chm");

std::string ClassOf(HWND window) {
    char name[64] = {};
    ::GetClassNameA(window, name, sizeof name);
    return name;
}

std::string TitleOf(HWND window) {
    char title[256] = {};
    ::GetWindowTextA(window, title, sizeof title);
    return title;
}

struct WindowSearch {
    DWORD processId;
    const char* className;
    HWND found;
};

BOOL CALLBACK FindWindowOfProcess(HWND window, LPARAM parameter) {
    auto& search = *reinterpret_cast<WindowSearch*>(parameter);
    DWORD processId = 0;
    ::GetWindowThreadProcessId(window, &processId);
    if (processId != search.processId || !::IsWindowVisible(window) || ClassOf(window) != search.className) {
        return TRUE;
    }
    search.found = window;
    return FALSE;
}

// A visible top-level window of that class of the process, or none.
HWND WindowOf(DWORD processId, const char* className) {
    WindowSearch search{processId, className, nullptr};
    ::EnumWindows(FindWindowOfProcess, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

template <class Condition>
bool WaitFor(Condition condition) {
    for (const DWORD start = ::GetTickCount(); !condition(); ::Sleep(20)) {
        if (::GetTickCount() - start > kTimeoutMs) return false;
    }
    return true;
}

// The program, started with this process's environment (so the stand-ins'
// log variables reach it), and its main dialog.
class RunningProgram {
public:
    RunningProgram() {
        std::string commandLine = std::string("\"").append(kProgram).append("\"");
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        PROCESS_INFORMATION started{};
        if (!::CreateProcessA(kProgram.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                              &startup, &started)) {
            ADD_FAILURE() << "cannot start " << kProgram << " (error " << ::GetLastError() << ")";
            return;
        }
        m_thread.Reset(started.hThread);
        m_process.Reset(started.hProcess);
        m_processId = started.dwProcessId;
        m_threadId = started.dwThreadId;
        ::WaitForInputIdle(m_process.Get(), kTimeoutMs);
        WaitFor([this] { return (m_dialog = WindowOf(m_processId, "#32770")) != nullptr; });
        EXPECT_NE(m_dialog, nullptr) << "the main dialog did not appear";
    }
    ~RunningProgram() {
        if (m_process && ::WaitForSingleObject(m_process.Get(), 0) == WAIT_TIMEOUT) {
            ::TerminateProcess(m_process.Get(), 1);
        }
    }
    RunningProgram(const RunningProgram&) = delete;
    RunningProgram& operator=(const RunningProgram&) = delete;

    bool Started() const { return m_dialog != nullptr; }
    HWND Dialog() const { return m_dialog; }
    DWORD ProcessId() const { return m_processId; }
    DWORD ThreadId() const { return m_threadId; }

    // Posted: the program handles the click on its own thread.
    void ClickHelp() const { ::PostMessageA(::GetDlgItem(m_dialog, kHelpButton), BM_CLICK, 0, 0); }

    // The close box; true when the program has ended.
    bool Close() const {
        ::PostMessageA(m_dialog, WM_CLOSE, 0, 0);
        return ::WaitForSingleObject(m_process.Get(), kTimeoutMs) == WAIT_OBJECT_0;
    }

private:
    UniqueKernelHandle m_thread;
    UniqueKernelHandle m_process;
    DWORD m_processId = 0;
    DWORD m_threadId = 0;
    HWND m_dialog = nullptr;
};

std::string Call(HWND caller, const std::string& file, UINT command) {
    return std::string("call ")
        .append(LogNumber(reinterpret_cast<UINT_PTR>(caller)))
        .append(" ")
        .append(file)
        .append(" ")
        .append(LogNumber(command))
        .append(" 0");
}

TEST(HelpEndToEnd, HelpButtonAsksForTheHelpFileContentsForTheDialogAndShutDownClosesAllThenUninitialises) {
    if (RanInOwnProcess()) return;
    ScopedEngineRegistration registration;
    registration.SetString(FakeEnginePath());
    StartFakeEngineLog();

    RunningProgram program;
    ASSERT_TRUE(program.Started());
    program.ClickHelp();
    ASSERT_TRUE(WaitFor([] { return FakeEngineLog().size() >= 2; })) << "the help button reached no engine";
    ASSERT_TRUE(program.Close());

    // The engine stays loaded to the end of the process.
    EXPECT_THAT(FakeEngineLog(), ElementsAre(StrCaseEq(std::string("attach ").append(FakeEnginePath())),
                                             StrCaseEq(Call(program.Dialog(), kHelpFile, 0x1)),
                                             "call 0 - 12 0", "call 0 - 1d 0", "detach"));
}

TEST(HelpEndToEnd, ShutDownWithHelpNeverOpenedLoadsTheEngineToCloseAllThenUninitialise) {
    if (RanInOwnProcess()) return;
    ScopedEngineRegistration registration;
    registration.SetString(FakeEnginePath());
    StartFakeEngineLog();

    RunningProgram program;
    ASSERT_TRUE(program.Started());
    EXPECT_THAT(FakeEngineLog(), testing::IsEmpty()) << "the engine was loaded before it was needed";
    ASSERT_TRUE(program.Close());

    EXPECT_THAT(FakeEngineLog(), ElementsAre(StrCaseEq(std::string("attach ").append(FakeEnginePath())),
                                             "call 0 - 12 0", "call 0 - 1d 0", "detach"));
}

struct HookTraits {
    using Type = HHOOK;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type hook) noexcept { ::UnhookWindowsHookEx(hook); }
};

TEST(HelpEndToEnd, RealEngineShowsTheHelpFileForTheDialogAndTheProgramClosesItAtShutDown) {
    if (RanInOwnProcess()) return;
    ScopedEngineRegistration registration;
    registration.SetString(SystemEnginePath());
    const std::string destroyLog = CaseFolder().append("\\destroy.log");
    ::SetEnvironmentVariableA(kDestroyLogVariable, destroyLog.c_str());

    RunningProgram program;
    ASSERT_TRUE(program.Started());
    // Every window the program destroys from now on is written to the log.
    UniqueModule recorder(::LoadLibraryA(FolderOf(OwnProgramPath()).append("\\destroy_recorder.dll").c_str()));
    ASSERT_TRUE(recorder);
    const FARPROC recordDestroy = ::GetProcAddress(recorder.Get(), "RecordDestroy");
    ASSERT_NE(recordDestroy, nullptr);
    UniqueHandle<HookTraits> hook(::SetWindowsHookExA(
        WH_CALLWNDPROC, reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(recordDestroy)), recorder.Get(),
        program.ThreadId()));
    ASSERT_TRUE(hook);
    EXPECT_EQ(WindowOf(program.ProcessId(), "HH Parent"), nullptr);

    program.ClickHelp();
    HWND help = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (help = WindowOf(program.ProcessId(), "HH Parent")) != nullptr; }))
        << "no help window";
    EXPECT_EQ(TitleOf(help), kHelpWindowTitle) << "not the help file's window";
    // The engine makes the caller window the owner of its window.
    EXPECT_EQ(::GetWindow(help, GW_OWNER), program.Dialog());
    ASSERT_TRUE(program.Close());

    // Destroyed by the program before its dialog's last message, not merely
    // gone with the process.
    const std::vector<std::string> destroyed = LogLines(destroyLog);
    const auto helpDestroyed = std::find(destroyed.begin(), destroyed.end(), "ncdestroy HH Parent");
    const auto dialogDestroyed = std::find(destroyed.begin(), destroyed.end(), "ncdestroy #32770");
    EXPECT_NE(helpDestroyed, destroyed.end()) << "the help window was not closed";
    EXPECT_NE(dialogDestroyed, destroyed.end()) << "the dialog's destruction was not seen";
    EXPECT_LT(helpDestroyed, dialogDestroyed);
}

}  // namespace
