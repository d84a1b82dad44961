// Conversions run from the real program's window: the file written for each
// element type, the overwrite question answered both ways, the runs that
// fail with a message, and the progress bar while the completion box is up.

#include "E2eTest.h"

#include <functional>
#include <utility>

using namespace e2e;
using namespace testing_support;

namespace {

struct ElementTypeRow {
    std::string name;
    int radio;
    std::string inputName;
    std::string bytes;
    std::string golden;
};

using ElementTypeConversion = ProgramTestWith<ElementTypeRow>;

TEST_P(ElementTypeConversion, WritesTheArrayOfTheChosenType) {
    const ElementTypeRow& row = GetParam();
    const std::string input = folder / row.inputName;
    const std::string output = folder / "array.c";
    WriteBytes(input, row.bytes);

    Program program;
    ASSERT_TRUE(program.Started());
    program.FillPaths(input, output);
    program.Click(row.radio);
    ASSERT_TRUE(WaitFor([&] { return program.IsChecked(row.radio); }));
    EXPECT_EQ(CheckedElementType(program), row.radio);

    std::vector<Moment> moments = Convert(program, {{Box::Written}});
    ASSERT_EQ(moments.size(), 1u);
    EXPECT_FALSE(moments[0].convertEnabled) << "Convert while the completion box is up";
    EXPECT_EQ(moments[0].progress, 0) << "a file shorter than one chunk moves no bar";

    EXPECT_FALSE(program.IsEnabled(kConvert)) << "Convert after the run";
    EXPECT_EQ(program.ProgressPosition(), 0);
    EXPECT_EQ(MaskCreationTime(ReadBytes(output)), GoldenFile(row.golden));
    EXPECT_EQ(ReadBytes(input), row.bytes);
}

INSTANTIATE_TEST_SUITE_P(
    Types, ElementTypeConversion,
    ::testing::Values(ElementTypeRow{"Char", kChar, "ten.bin", "0123456789", "ten_char.c"},
                      ElementTypeRow{"Uint", kUint, "three.bin", "\x01\x02\x03", "three_uint.c"},
                      ElementTypeRow{"Ulong", kUlong, "five.bin", "\x01\x02\x03\x04\x05", "five_ulong.c"}),
    RowName{});

using DroppedFile = ProgramTest;

// The usual road: a file dropped onto the input field, converted into the
// file named after it in the same folder. The name has a second byte 0x5C
// ("表"), which a byte-wise path split would take for a backslash.
TEST_F(DroppedFile, IsConvertedIntoASourceFileBesideIt) {
    const std::string input = folder / "\x95\x5c.bin";
    const std::string output = folder / "\x95\x5c.c";
    WriteBytes(input, "0123456789");

    Program program;
    ASSERT_TRUE(program.Started());
    program.Drop({input}, program.CentreOf(kInput));
    EXPECT_EQ(program.Text(kInput), input);
    ASSERT_EQ(program.Text(kOutput), output);

    Convert(program, {{Box::Written}});

    std::string expected = GoldenFile("ten_char.c");
    expected.replace(expected.find("ten.bin"), 7, "\x95\x5c.bin");
    EXPECT_EQ(MaskCreationTime(ReadBytes(output)), expected);
}

class ExistingOutput : public ProgramTest {
protected:
    const std::string oldContent = "/* kept */\r\n";

    void SetUp() override {
        ProgramTest::SetUp();
        WriteTenBin();
        WriteBytes(tenC, oldContent);
    }
};

TEST_F(ExistingOutput, YesReplacesIt) {
    Program program;
    ASSERT_TRUE(program.Started());
    program.FillPaths(tenBin, tenC);

    std::vector<Moment> moments = Convert(program, {{Box::Overwrite, IDYES}, {Box::Written}});

    ASSERT_EQ(moments.size(), 2u);
    EXPECT_TRUE(moments[0].convertEnabled) << "nothing has started while the question is up";
    EXPECT_EQ(MaskCreationTime(ReadBytes(tenC)), GoldenFile("ten_char.c"));
    EXPECT_FALSE(program.IsEnabled(kConvert));
}

TEST_F(ExistingOutput, NoLeavesItAndTheDialogAsTheyWere) {
    Program program;
    ASSERT_TRUE(program.Started());
    program.FillPaths(tenBin, tenC);

    Convert(program, {{Box::Overwrite, IDNO}});

    EXPECT_EQ(ReadBytes(tenC), oldContent);
    EXPECT_TRUE(program.IsEnabled(kConvert));
    EXPECT_EQ(program.ProgressPosition(), 0);
}

// Runs that end with a message before anything is written. With ten.bin
// in the folder, `prepare` makes what else the row needs there and answers
// the input and output paths.
struct FailedRunRow {
    std::string name;
    std::function<std::pair<std::string, std::string>(const ScratchFolder&)> prepare;
    std::vector<Step> steps;
    std::string outputAfter;  // as Contents() tells it
};

constexpr char kAbsent[] = "(absent)";
constexpr char kFolder[] = "(folder)";

// A file's bytes, or what stands in its place.
std::string Contents(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return kAbsent;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) return kFolder;
    return ReadBytes(path);
}

using FailedRun = ProgramTestWith<FailedRunRow>;

TEST_P(FailedRun, ShowsItsMessageAndTouchesNothing) {
    const FailedRunRow& row = GetParam();
    WriteTenBin();
    auto [input, output] = row.prepare(folder);

    Program program;
    ASSERT_TRUE(program.Started());
    program.FillPaths(input, output);

    std::vector<Moment> moments = Convert(program, row.steps);

    ASSERT_EQ(moments.size(), row.steps.size());
    EXPECT_TRUE(program.IsEnabled(kConvert)) << "the run never started, so Convert keeps its state";
    EXPECT_EQ(program.ProgressPosition(), 0);
    EXPECT_EQ(Contents(output), row.outputAfter);
}

const std::string kOld = "/* old */\r\n";

INSTANTIATE_TEST_SUITE_P(
    Runs, FailedRun,
    ::testing::Values(
        FailedRunRow{"MissingInput",
                     [](const ScratchFolder& folder) {
                         return std::pair(folder / "missing.bin", folder / "missing.c");
                     },
                     {{Box::NotFound}},
                     kAbsent},
        // The question comes first; the existing output survives the Yes.
        FailedRunRow{"MissingInputExistingOutput",
                     [](const ScratchFolder& folder) {
                         WriteBytes(folder / "missing.c", kOld);
                         return std::pair(folder / "missing.bin", folder / "missing.c");
                     },
                     {{Box::Overwrite, IDYES}, {Box::NotFound}},
                     kOld},
        FailedRunRow{"OutputFolderMissing",
                     [](const ScratchFolder& folder) {
                         return std::pair(folder / "ten.bin", folder / "nowhere\\ten.c");
                     },
                     {{Box::BadPath}},
                     kAbsent},
        // The input is open, sharing only reading, when the output is opened.
        FailedRunRow{"SameFileInAndOut",
                     [](const ScratchFolder& folder) {
                         return std::pair(folder / "ten.bin", folder / "ten.bin");
                     },
                     {{Box::Overwrite, IDYES}, {Box::Sharing}},
                     "0123456789"},
        // A folder cannot be opened as a file: access is denied, and the
        // probe for an existing output fails, so no question comes.
        FailedRunRow{"OutputIsAFolder",
                     [](const ScratchFolder& folder) {
                         ::CreateDirectoryA((folder / "ten.c").c_str(), nullptr);
                         return std::pair(folder / "ten.bin", folder / "ten.c");
                     },
                     {{Box::WriteProtect}},
                     kFolder}),
    RowName{});

struct ProgressRow {
    std::string name;
    std::size_t inputSize;
    int progressWhileDone;
};

using Progress = ProgramTestWith<ProgressRow>;

// The bar moves after each full chunk of 28672 bytes; it shows the last
// position while the completion box is up and 0 once it is dismissed.
TEST_P(Progress, ShowsTheLastFullChunkUntilTheCompletionIsDismissed) {
    const ProgressRow& row = GetParam();
    const std::string input = folder / "data.bin";
    const std::string output = folder / "data.c";
    WriteBytes(input, Pattern(row.inputSize));

    Program program;
    ASSERT_TRUE(program.Started());
    program.FillPaths(input, output);

    std::vector<Moment> moments = Convert(program, {{Box::Written}});

    ASSERT_EQ(moments.size(), 1u);
    EXPECT_EQ(moments[0].progress, row.progressWhileDone);
    EXPECT_EQ(program.ProgressPosition(), 0);
    const std::string written = ReadBytes(output);
    ASSERT_GE(written.size(), 5u);
    EXPECT_EQ(written.substr(written.size() - 5), "\t};\r\n");
}

INSTANTIATE_TEST_SUITE_P(Sizes, Progress,
                         ::testing::Values(ProgressRow{"TwoChunks", 57344, 100}, ProgressRow{"OneChunk", 28672, 100},
                                           ProgressRow{"OneChunkAndAByte", 28673, 99},
                                           ProgressRow{"LessThanAChunk", 28671, 0}),
                         RowName{});

}  // namespace
