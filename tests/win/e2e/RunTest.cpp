// The main window during a run: it keeps answering, takes no input, and a
// request to end waits until the run is over.

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"
#include "tests/win/e2e/ProgramDriver.h"

namespace e2e {
namespace {

using namespace testing_support;

TEST(DuringARun, TheWindowAnswersTakesNoInputAndEndsOnlyAfterTheRun) {
    DeleteSettings();
    ScratchFolder folder;
    WriteBytes(folder / "big.bin", Pattern(8u << 20));
    WriteBytes(folder / "other.bin", "x");
    Program program;
    ASSERT_TRUE(program.Started());
    program.SetText(IDC_SOURCE_PATH, folder / "big.bin");
    program.SetText(IDC_OUTPUT_PATH, folder / "big.c");
    program.Sync();
    ASSERT_TRUE(program.IsEnabled(IDC_CONVERT));

    program.Click(IDC_CONVERT);
    // Started; the run, or its completion box, is still on.
    ASSERT_TRUE(WaitFor([&] { return !program.IsEnabled(IDC_CONVERT); }));
    ::PostMessageA(program.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0);
    program.Click(IDC_CONVERT);
    program.Drop({folder / "other.bin"}, program.CentreOf(IDC_SOURCE_PATH));
    DWORD_PTR answer = 0;
    EXPECT_NE(::SendMessageTimeoutA(program.Dialog(), WM_NULL, 0, 0, SMTO_NORMAL, 500, &answer), 0);

    HWND box = program.WaitForBox();
    ASSERT_NE(box, nullptr);
    // ﾌｧｲﾙを書き込みました。
    EXPECT_EQ(TextOf(::GetDlgItem(box, 0xFFFF)),
              "\xcc\xa7\xb2\xd9\x82\xf0\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x82\xdc\x82\xb5\x82\xbd\x81\x42");
    EXPECT_EQ(program.Text(IDC_SOURCE_PATH), folder / "big.bin") << "the drop was taken";
    EXPECT_TRUE(::IsWindow(program.Dialog()));
    program.Answer(box, IDOK);
    EXPECT_EQ(program.WaitForExit(), 0u) << "the close request was lost";
    const std::string output = ReadBytes(folder / "big.c");
    EXPECT_EQ(output.substr(output.size() - 7), "\r\n\t};\r\n") << "the run was cut short";
    DeleteSettings();
}

}  // namespace
}  // namespace e2e
