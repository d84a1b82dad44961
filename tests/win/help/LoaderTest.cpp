// The help loader against the stand-in engine (FakeEngine.cpp). The loader
// keeps its state as long as its process lives, so each case runs in a
// process of its own: the test program starts itself again for that case
// only, in a fresh folder that becomes its current directory.

#include <gtest/gtest.h>

#include <functional>

#include "help/HtmlHelp.h"
#include "tests/support/TestSupport.h"
#include "tests/win/help/HelpTestSupport.h"

namespace {

constexpr char kCaseVariable[] = "ARRAYFORGE_HELP_CASE";
constexpr char kRefuseVariable[] = "ARRAYFORGE_FAKE_ENGINE_REFUSE";  // read by FakeEngine.cpp
constexpr char kLoadOrderKey[] = "Software\\Wine\\DllOverrides";  // Wine's, read at every load
const HWND kCaller = reinterpret_cast<HWND>(0x1234);
constexpr char kHelpFile[] = "C:\\Tools\\Tabulo.chm";
// What the engine's registration names: nothing, or the stand-in's path.
constexpr std::size_t kUnregistered = 0;
constexpr std::size_t kPath = 1;

std::string Sz(const std::string& text) { return text + '\0'; }

// True in the case's own process. Otherwise runs the case there, with the
// stand-in planted as "hhctrl.ocx" beside a copy of the program if asked.
bool InCaseProcess(bool plantEngine) {
    if (::GetEnvironmentVariableA(kCaseVariable, nullptr, 0) > 0) return true;
    testing_support::ScratchFolder folder;
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string program = self;
    if (plantEngine) {
        program = folder / "loader.exe";
        EXPECT_TRUE(::CopyFileA(self, program.c_str(), FALSE));
        EXPECT_TRUE(::CopyFileA(FakeEnginePath().c_str(), (folder / "hhctrl.ocx").c_str(), FALSE));
    }
    const testing::TestInfo* test = testing::UnitTest::GetInstance()->current_test_info();
    std::string commandLine =
        "\"" + program + "\" --gtest_brief=1 --gtest_filter=" + test->test_suite_name() + "." + test->name();
    std::fflush(stdout);
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ::SetEnvironmentVariableA(kCaseVariable, "1");
    EXPECT_TRUE(::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                 folder.Path().string().c_str(), &startup, &process));
    ::SetEnvironmentVariableA(kCaseVariable, nullptr);
    UniqueKernelHandle thread(process.hThread);
    UniqueKernelHandle child(process.hProcess);
    DWORD exitCode = ~0u;
    ::WaitForSingleObject(child.Get(), 120000);
    ::GetExitCodeProcess(child.Get(), &exitCode);
    EXPECT_EQ(exitCode, 0u) << "the case failed in its own process (its output is above)";
    return false;
}

// The "hhctrl.ocx" loaded is the system's.
bool SystemEngineLoaded() {
    HMODULE engine = ::GetModuleHandleA("hhctrl.ocx");
    char loaded[MAX_PATH] = {};
    char system[MAX_PATH] = {};
    ::GetModuleFileNameA(engine, loaded, MAX_PATH);
    ::GetSystemDirectoryA(system, MAX_PATH);
    return engine != nullptr && ::lstrcmpiA(loaded, (std::string(system) + "\\hhctrl.ocx").c_str()) == 0;
}

struct Case {
    const char* name;
    std::size_t registered;  // kUnregistered, kPath, or the path padded to that many bytes
    bool refuse;             // the stand-in refuses to load
    bool plant;              // "hhctrl.ocx" beside the program is the stand-in
    std::function<void()> act;
    std::vector<std::string> log;
    bool systemEngine;  // the system's engine is loaded afterwards
};

void PrintTo(const Case& test, std::ostream* out) { *out << test.name; }

class HelpLoader : public testing::TestWithParam<Case> {};

TEST_P(HelpLoader, LoadsTheEngineOnceAndForwardsTheCalls) {
    const Case& test = GetParam();
    if (!InCaseProcess(test.plant)) return;
    ScopedValue registration(HKEY_CLASSES_ROOT, kEngineKey, nullptr);
    std::string value = Sz(FakeEnginePath());
    if (test.registered > value.size()) value = Sz(value.append(test.registered - value.size() - 1, 'x'));
    registration.Set(value);
    if (test.registered == kUnregistered) registration.Remove();
    if (test.refuse) ::SetEnvironmentVariableA(kRefuseVariable, "1");

    test.act();

    EXPECT_EQ(EngineLog(), test.log);
    EXPECT_EQ(SystemEngineLoaded(), test.systemEngine);
}

const std::vector<std::string> kShutDown = {"attach", "call 0 - 12 0", "call 0 - 1d 0"};

INSTANTIATE_TEST_SUITE_P(
    Cases, HelpLoader,
    testing::Values(
        Case{"FirstPressLoadsOnce", kPath, false, false,
             [] {
                 ShowHelpContents(kCaller, kHelpFile);
                 ShowHelpContents(kCaller, kHelpFile);
             },
             {"attach", "call 1234 C:\\Tools\\Tabulo.chm 1 0", "call 1234 C:\\Tools\\Tabulo.chm 1 0"}, false},
        // Help never opened: loaded at shut-down for close-all, then uninitialise.
        Case{"ShutDownLoadsTheEngine", kPath, false, false, CloseAllHelp, kShutDown, false},
        Case{"UnloadableRegisteredEngineFallsBack", kPath, true, false, CloseAllHelp, {"refused"}, true},
        Case{"ValueFillingTheBufferIsUsed", 260, false, false, CloseAllHelp, kShutDown, false},
        Case{"ValueTooLongForTheBufferFallsBack", 261, false, false, CloseAllHelp, {}, true},
        // Neither engine can be loaded at first; later both could, but neither is tried.
        Case{"FailedLoadIsNeverRetried", kPath, true, false,
             [] {
                 {
                     ScopedValue systemEngine(HKEY_CURRENT_USER, kLoadOrderKey, "hhctrl.ocx");
                     systemEngine.Set(Sz(""));  // disabled
                     ShowHelpContents(kCaller, kHelpFile);
                 }
                 ::SetEnvironmentVariableA(kRefuseVariable, nullptr);
                 ShowHelpContents(kCaller, kHelpFile);
                 CloseAllHelp();
             },
             {"refused"}, false},
        // The program runs with the user's highest rights: a library put into
        // its folder must not be loaded. (Wine would take its own engine for
        // any file of that name, unless told to prefer the file.)
        Case{"EngineBesideTheProgramIsNotLoaded", kUnregistered, false, true,
             [] {
                 ScopedValue fileFirst(HKEY_CURRENT_USER, kLoadOrderKey, "hhctrl.ocx");
                 fileFirst.Set(Sz("native,builtin"));
                 CloseAllHelp();
             },
             {}, true}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
