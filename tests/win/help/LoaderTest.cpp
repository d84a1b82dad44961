// The help loader against stand-in engines (FakeEngine.cpp) that record
// their loads and calls. Each test runs in a process of its own, since the
// loader's state lasts as long as its process.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "help/HtmlHelp.h"
#include "tests/win/help/HelpLogs.h"
#include "tests/win/help/HelpTestSupport.h"

namespace {

using testing::ElementsAre;
using testing::IsEmpty;
using testing::StrCaseEq;

// The stand-in only records the caller window, so any value will do.
const HWND kCaller = reinterpret_cast<HWND>(0x1234);
constexpr char kHelpFile[] = "C:\\Tools\\Tabulo.chm";

std::string Attached(const std::string& path) { return std::string("attach ").append(path); }

HWND FakeResult(UINT command) { return reinterpret_cast<HWND>(kFakeResultBase + command); }

bool SystemEngineLoaded() { return SamePath(LoadedModulePath("hhctrl.ocx"), SystemEnginePath()); }

// The shut-down calls load `engine` (a stand-in) and reach it, in order.
void ExpectShutDownToReachOnly(const std::string& engine) {
    CloseAllHelp();
    EXPECT_THAT(FakeEngineLog(), ElementsAre(StrCaseEq(Attached(engine)), "call 0 - 12 0", "call 0 - 1d 0"));
}

// The shut-down calls load the system's engine and no stand-in.
void ExpectShutDownToReachTheSystemEngineOnly() {
    CloseAllHelp();
    EXPECT_THAT(FakeEngineLog(), IsEmpty());
    EXPECT_TRUE(SystemEngineLoaded()) << LoadedModulePath("hhctrl.ocx");
}

// A copy of the stand-in in the work folder whose full path is `length`
// characters long.
std::string FakeEngineCopyWithPathLength(std::size_t length) {
    const std::string prefix = CaseFolder().append("\\fake");
    const std::string suffix = ".dll";
    const std::string path = std::string(prefix).append(length - prefix.size() - suffix.size(), 'x').append(suffix);
    EXPECT_TRUE(CopyFileTo(FakeEnginePath(), path));
    return path;
}

TEST(HelpLoader, FirstCallLoadsTheRegisteredEngineOnceAndEveryCallIsForwardedUnchanged) {
    if (RanInOwnProcess()) return;
    ScopedEngineRegistration registration;
    registration.SetString(FakeEnginePath());
    StartFakeEngineLog();

    ShowHelpContents(kCaller, kHelpFile);
    EXPECT_EQ(InvokeHtmlHelp(kCaller, kHelpFile, 0x0F, 0xABCD), FakeResult(0x0F));
    ShowHelpContents(kCaller, kHelpFile);

    EXPECT_THAT(FakeEngineLog(), ElementsAre(StrCaseEq(Attached(FakeEnginePath())),
                                             "call 1234 C:\\Tools\\Tabulo.chm 1 0",
                                             "call 1234 C:\\Tools\\Tabulo.chm f abcd",
                                             "call 1234 C:\\Tools\\Tabulo.chm 1 0"));
    EXPECT_FALSE(SystemEngineLoaded());
}

TEST(HelpLoader, HelpNeverOpenedLoadsTheEngineAtShutDownForCloseAllThenUninitialise) {
    if (RanInOwnProcess()) return;
    ScopedEngineRegistration registration;
    registration.SetString(FakeEnginePath());
    StartFakeEngineLog();

    ExpectShutDownToReachOnly(FakeEnginePath());
}

TEST(HelpLoader, EngineThatCannotBeLoadedIsNeverTriedAgain) {
    if (RanInOwnProcess()) return;
    ScopedEngineRegistration registration;
    registration.SetString(FakeEnginePath());
    ScopedEngineLoadOrder systemEngine("");  // disabled
    StartFakeEngineLog();
    ::SetEnvironmentVariableA(kFakeEngineRefuseVariable, "1");

    EXPECT_EQ(InvokeHtmlHelp(kCaller, kHelpFile, HH_DISPLAY_TOC, 0), nullptr);
    EXPECT_THAT(FakeEngineLog(), ElementsAre(StrCaseEq(std::string("refused ").append(FakeEnginePath()))));

    // Both engines could be loaded now; neither may be tried.
    ::SetEnvironmentVariableA(kFakeEngineRefuseVariable, nullptr);
    systemEngine.Remove();
    ShowHelpContents(kCaller, kHelpFile);
    EXPECT_EQ(InvokeHtmlHelp(kCaller, kHelpFile, HH_DISPLAY_TOC, 0), nullptr);
    CloseAllHelp();

    EXPECT_EQ(FakeEngineLog().size(), 1u);
    EXPECT_EQ(LoadedModulePath(FakeEnginePath()), "");
    EXPECT_EQ(LoadedModulePath("hhctrl.ocx"), "");
}

TEST(HelpLoader, RegisteredEngineThatCannotBeLoadedFallsBackToTheSystemEngine) {
    if (RanInOwnProcess()) return;
    ScopedEngineRegistration registration;
    registration.SetString(FakeEnginePath());
    StartFakeEngineLog();
    ::SetEnvironmentVariableA(kFakeEngineRefuseVariable, "1");

    CloseAllHelp();

    EXPECT_THAT(FakeEngineLog(), ElementsAre(StrCaseEq(std::string("refused ").append(FakeEnginePath()))));
    EXPECT_TRUE(SystemEngineLoaded()) << LoadedModulePath("hhctrl.ocx");
}

TEST(HelpLoader, RegisteredPathOfAMissingFileFallsBackToTheSystemEngine) {
    if (RanInOwnProcess()) return;
    ScopedEngineRegistration registration;
    registration.SetString(CaseFolder().append("\\no such engine.ocx"));

    CloseAllHelp();

    EXPECT_TRUE(SystemEngineLoaded()) << LoadedModulePath("hhctrl.ocx");
}

// A string value of `size` bytes: the path, its terminator, padding and a
// terminator again (without one the registry would append it).
std::string RegisteredPathPaddedTo(const std::string& path, std::size_t size) {
    std::string value = std::string(path).append(1, '\0');
    value.resize(size - 1, 'x');
    return value.append(1, '\0');
}

TEST(HelpLoader, RegisteredValueThatFillsTheBufferIsUsed) {
    if (RanInOwnProcess()) return;
    ScopedEngineRegistration registration;
    registration.Set(REG_SZ, RegisteredPathPaddedTo(FakeEnginePath(), 260));
    StartFakeEngineLog();

    ExpectShutDownToReachOnly(FakeEnginePath());
}

TEST(HelpLoader, RegisteredValueOneByteTooLongForTheBufferFallsBackToTheSystemEngine) {
    if (RanInOwnProcess()) return;
    ScopedEngineRegistration registration;
    registration.Set(REG_SZ, RegisteredPathPaddedTo(FakeEnginePath(), 261));
    StartFakeEngineLog();

    ExpectShutDownToReachTheSystemEngineOnly();
}

// A value stored without a terminator is read without one.
TEST(HelpLoader, UnterminatedValueShorterThanTheBufferIsUsed) {
    if (RanInOwnProcess()) return;
    const std::string engine = FakeEngineCopyWithPathLength(259);
    ScopedEngineRegistration registration;
    registration.Set(REG_BINARY, engine);
    StartFakeEngineLog();

    ExpectShutDownToReachOnly(engine);
}

TEST(HelpLoader, UnterminatedValueThatFillsTheBufferFallsBackToTheSystemEngine) {
    if (RanInOwnProcess()) return;
    // Its first 259 bytes name a loadable engine: cutting the value short
    // instead of refusing it would load that.
    const std::string engine = FakeEngineCopyWithPathLength(259);
    ScopedEngineRegistration registration;
    registration.Set(REG_BINARY, std::string(engine).append("x"));
    StartFakeEngineLog();

    ExpectShutDownToReachTheSystemEngineOnly();
}

TEST(HelpLoader, RegisteredNameWithoutFolderIsNotLookedForBesideTheProgram) {
    if (RanInOwnProcess()) return;
    // The stand-in lies beside this program under that name.
    ScopedEngineRegistration registration;
    registration.SetString("fake_engine.dll");
    StartFakeEngineLog();

    ExpectShutDownToReachTheSystemEngineOnly();
}

TEST(HelpLoader, EngineWithoutTheEntryStaysLoadedAndIsAskedAgainAtEachCall) {
    if (RanInOwnProcess()) return;
    ScopedEngineRegistration registration;
    registration.SetString(FakeEngineWithoutEntryPath());
    StartFakeEngineLog();

    EXPECT_EQ(InvokeHtmlHelp(kCaller, kHelpFile, HH_DISPLAY_TOC, 0), nullptr);
    EXPECT_EQ(InvokeHtmlHelp(nullptr, nullptr, HH_CLOSE_ALL, 0), nullptr);

    // Loaded once, never freed, its entry under a name never called, and
    // not replaced by the system engine.
    EXPECT_THAT(FakeEngineLog(), ElementsAre(StrCaseEq(Attached(FakeEngineWithoutEntryPath()))));
    EXPECT_TRUE(SamePath(LoadedModulePath(FakeEngineWithoutEntryPath()), FakeEngineWithoutEntryPath()));
    EXPECT_EQ(LoadedModulePath("hhctrl.ocx"), "");
}

// The program runs with the highest rights the user holds: an "hhctrl.ocx"
// put into its folder or the current directory must not be loaded.
TEST(HelpLoader, EngineFileBesideTheProgramIsNotLoaded) {
    const auto plantEngine = [](const std::string& folder) {
        const std::string program = std::string(folder).append("\\arrayforge_help_loader_test.exe");
        EXPECT_TRUE(CopyFileTo(OwnProgramPath(), program));
        EXPECT_TRUE(CopyFileTo(FakeEnginePath(), std::string(folder).append("\\hhctrl.ocx")));
        return program;
    };
    if (RanInOwnProcess(plantEngine)) return;
    ASSERT_NE(::GetFileAttributesA(FolderOf(OwnProgramPath()).append("\\hhctrl.ocx").c_str()), INVALID_FILE_ATTRIBUTES);
    ScopedEngineRegistration registration;
    registration.Remove();
    // Otherwise Wine would take its own engine for any file of that name.
    ScopedEngineLoadOrder preferFileOnDisk("native,builtin");
    StartFakeEngineLog();

    ExpectShutDownToReachTheSystemEngineOnly();
}

}  // namespace
