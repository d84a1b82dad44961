// The settings of the real program across restarts, read and prepared in
// the registry key it keeps them in.

#include "E2eTest.h"

using namespace e2e;
using namespace testing_support;

namespace {

struct FirstStartRow {
    std::string name;
    std::function<std::string(const ScratchFolder&)> currentDirectory;
    std::function<std::string(const ScratchFolder&)> lastDir;
};

using FirstStart = ProgramTestWith<FirstStartRow>;

// The key is created at start and filled only at the end, with the
// defaults: "１バイト型", not on top, the current directory.
TEST_P(FirstStart, CreatesTheKeyAndStoresTheDefaultsAtTheEnd) {
    const FirstStartRow& row = GetParam();
    Program program(row.currentDirectory(folder));
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(settings::KeyExists());
    for (const char* name : {"DataType", "LastDir", "TopWin"}) EXPECT_FALSE(settings::HasValue(name)) << name;
    EXPECT_EQ(CheckedElementType(program), kChar);
    EXPECT_FALSE(program.IsTopmost());

    program.Click(kExit);
    ASSERT_TRUE(program.WaitForExit());

    EXPECT_EQ(settings::ReadDword("DataType"), 0u);
    EXPECT_EQ(settings::ReadText("LastDir"), row.lastDir(folder));
    EXPECT_EQ(settings::ReadDword("TopWin"), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Folders, FirstStart,
    ::testing::Values(FirstStartRow{"Folder", [](const ScratchFolder& f) { return f.Path().string(); },
                                    [](const ScratchFolder& f) { return f.Path().string() + "\\"; }},
                      // A drive root ends in a backslash already.
                      FirstStartRow{"DriveRoot", [](const ScratchFolder&) { return std::string("C:\\"); },
                                    [](const ScratchFolder&) { return std::string("C:\\"); }}),
    RowName{});

using Settings = ProgramTest;

TEST_F(Settings, ElementTypeAndStayOnTopSurviveARestart) {
    {
        Program program;
        ASSERT_TRUE(program.Started());
        program.Click(kUlong);
        program.Click(kTopMost);
        ASSERT_TRUE(WaitFor([&] { return program.IsChecked(kTopMost); }));
        EXPECT_EQ(CheckedElementType(program), kUlong);
        program.Click(kExit);
        ASSERT_TRUE(program.WaitForExit());
    }
    EXPECT_EQ(settings::ReadDword("DataType"), 2u);
    EXPECT_EQ(settings::ReadDword("TopWin"), 1u);

    {
        Program program;
        ASSERT_TRUE(program.Started());
        EXPECT_EQ(CheckedElementType(program), kUlong);
        EXPECT_TRUE(program.IsChecked(kTopMost));
        EXPECT_TRUE(program.IsTopmost());

        // Switched off again, and gone at once.
        program.Click(kTopMost);
        ASSERT_TRUE(WaitFor([&] { return !program.IsChecked(kTopMost); }));
        EXPECT_FALSE(program.IsTopmost());
        program.PressKey(VK_ESCAPE);
        ASSERT_TRUE(program.WaitForExit());
    }
    EXPECT_EQ(settings::ReadDword("DataType"), 2u);
    EXPECT_EQ(settings::ReadDword("TopWin"), 0u);
}

struct StoredTypeRow {
    std::string name;
    DWORD stored;
    int checked;
};

using StoredElementType = ProgramTestWith<StoredTypeRow>;

TEST_P(StoredElementType, ChoosesTheRadioButtonAtStart) {
    settings::WriteDword("DataType", GetParam().stored);
    Program program;
    ASSERT_TRUE(program.Started());
    EXPECT_EQ(CheckedElementType(program), GetParam().checked);
}

// Values outside 0 to 2 fall back to "１バイト型".
INSTANTIATE_TEST_SUITE_P(Values, StoredElementType,
                         ::testing::Values(StoredTypeRow{"Char", 0, kChar}, StoredTypeRow{"Uint", 1, kUint},
                                           StoredTypeRow{"Ulong", 2, kUlong}, StoredTypeRow{"OutOfRange", 7, kChar}),
                         RowName{});

TEST_F(Settings, StoredUintIsUsedByTheNextConversion) {
    settings::WriteDword("DataType", 1);
    const std::string input = folder / "three.bin";
    const std::string output = folder / "three.c";
    WriteBytes(input, "\x01\x02\x03");

    Program program;
    ASSERT_TRUE(program.Started());
    program.FillPaths(input, output);
    Convert(program, {{Box::Written}});

    EXPECT_EQ(MaskCreationTime(ReadBytes(output)), GoldenFile("three_uint.c"));
}

TEST_F(Settings, ADropLeavesTheLastFolderAsStored) {
    settings::WriteText("LastDir", "C:\\data\\");
    Program program;
    ASSERT_TRUE(program.Started());
    program.Drop({"D:\\other\\file.bin"}, program.CentreOf(kInput));
    ASSERT_EQ(program.Text(kInput), "D:\\other\\file.bin");
    program.Click(kExit);
    ASSERT_TRUE(program.WaitForExit());

    EXPECT_EQ(settings::ReadText("LastDir"), "C:\\data\\");
}

}  // namespace
