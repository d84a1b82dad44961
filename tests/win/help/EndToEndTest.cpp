// The program with its help file beside it: what its help button and its
// shut-down ask of the engine (the stand-in, which logs it), and the window
// of the real engine.

#include <gmock/gmock.h>

#include <cstdio>

#include "tests/support/TestSupport.h"
#include "tests/win/e2e/ProgramDriver.h"
#include "tests/win/help/HelpTestSupport.h"

namespace {

using namespace e2e;

TEST(HelpEndToEnd, HelpButtonShowsTheContentsForTheDialogAndTheEndClosesAllThenUninitialises) {
    testing_support::ScratchFolder folder;
    ScopedValue registration(HKEY_CLASSES_ROOT, kEngineKey, nullptr);
    registration.Set(FakeEnginePath() + '\0');
    Program program(folder.Path().string());
    ASSERT_TRUE(program.Started());
    program.Click(IDC_HELP_BUTTON);
    program.Sync();
    ::PostMessageA(program.Dialog(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);

    // The help file is the program's path with the extension "chm".
    const std::string helpFile = ProgramPath().substr(0, ProgramPath().size() - 3) + "chm";
    const auto dialog = static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(program.Dialog()));
    char call[MAX_PATH + 32];
    std::snprintf(call, sizeof call, "call %lx %s 1 0", dialog, helpFile.c_str());
    EXPECT_THAT(EngineLog(folder / "engine.log"),
                testing::ElementsAre("attach", testing::StrCaseEq(call), "call 0 - 12 0", "call 0 - 1d 0"));
}

TEST(HelpEndToEnd, RealEngineOpensTheHelpFileForTheDialogAndTheProgramStillEnds) {
    Program program;
    ASSERT_TRUE(program.Started());
    program.Click(IDC_HELP_BUTTON);
    HWND help = nullptr;
    ASSERT_TRUE(WaitFor([&] { return (help = ::FindWindowA("HH Parent", nullptr)) != nullptr; })) << "no help window";
    EXPECT_EQ(TextOf(help), "Arrayforge \x83\x77\x83\x8b\x83\x76");  // Tabulo.hhp's window: "Arrayforge ヘルプ"
    EXPECT_EQ(::GetWindow(help, GW_OWNER), program.Dialog());
    ::PostMessageA(program.Dialog(), WM_CLOSE, 0, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
}

}  // namespace
