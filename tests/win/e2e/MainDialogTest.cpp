// The real program's main dialog used by hand: runs of Convert with the
// boxes each shows in turn, when Convert can be clicked, dropped files,
// stay-on-top, every way to end the program, and the settings it keeps.

#include <gtest/gtest.h>

#include <optional>

#include "tests/support/TestSupport.h"
#include "tests/win/e2e/ProgramDriver.h"
#include "app/win32/Handles.h"

namespace e2e {
namespace {

using namespace testing_support;

// Every test starts from a user without settings and leaves none behind.
class MainDialog : public ::testing::Test {
protected:
    MainDialog() { DeleteSettings(); }
    ~MainDialog() override { DeleteSettings(); }

    ScratchFolder folder;
};

template <class Row>
class MainDialogTable : public MainDialog, public ::testing::WithParamInterface<Row> {};

constexpr auto kRowName = [](const auto& info) { return std::string(info.param.name); };

const std::string kTitle = "Arrayforge";
const std::string kError = "\x83\x47\x83\x89\x81\x5b";  // エラー

struct Box {
    std::string caption;
    std::string text;
    int answer = IDOK;  // IDYES or IDNO: a question
};

// 書込先ﾌｧｲﾙが存在します。\n上書きしていいですか？
const std::string kOverwrite =
    "\x8f\x91\x8d\x9e\x90\xe6\xcc\xa7\xb2\xd9\x82\xaa\x91\xb6\x8d\xdd\x82\xb5\x82\xdc\x82\xb7\x81\x42\n"
    "\x8f\xe3\x8f\x91\x82\xab\x82\xb5\x82\xc4\x82\xa2\x82\xa2\x82\xc5\x82\xb7\x82\xa9\x81\x48";
const Box kOverwriteYes{kTitle, kOverwrite, IDYES};
const Box kOverwriteNo{kTitle, kOverwrite, IDNO};
// ﾌｧｲﾙを書き込みました。
const Box kWritten{kTitle, "\xcc\xa7\xb2\xd9\x82\xf0\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x82\xdc\x82\xb5\x82\xbd\x81\x42"};
// ﾌｧｲﾙが見つかりません
const Box kNotFound{kError, "\xcc\xa7\xb2\xd9\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1"};
// 書き出しﾌｧｲﾙ名が不正です。
const Box kBadPath{
    kError, "\x8f\x91\x82\xab\x8f\x6f\x82\xb5\xcc\xa7\xb2\xd9\x96\xbc\x82\xaa\x95\x73\x90\xb3\x82\xc5\x82\xb7\x81\x42"};
// ﾌｧｲﾙの共有違反です。
const Box kSharing{kError, "\xcc\xa7\xb2\xd9\x82\xcc\x8b\xa4\x97\x4c\x88\xe1\x94\xbd\x82\xc5\x82\xb7\x81\x42"};

constexpr char kAbsent[] = "(absent)";

// A file's bytes, or kAbsent.
std::string Contents(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) == INVALID_FILE_ATTRIBUTES ? kAbsent : ReadBytes(path);
}

struct ConvertRun {
    const char* name;
    int type = IDC_TYPE_1BYTE;
    const char* input = "ten.bin";
    std::optional<std::string> bytes = "0123456789";  // the input's; none: no input
    const char* output = "ten.c";
    const char* oldOutput = nullptr;  // the output's bytes before the run
    std::vector<Box> boxes;
    int progress = 0;                 // the bar while each box is up
    const char* golden = nullptr;     // the output after the run: a golden file,
    std::string after = {};           // or these bytes (or kAbsent), or unchecked
};

void PrintTo(const ConvertRun& run, std::ostream* out) { *out << run.name; }

using Conversion = MainDialogTable<ConvertRun>;

TEST_P(Conversion, ShowsItsBoxesInTurnAndLeavesTheOutput) {
    const ConvertRun& run = GetParam();
    const std::string input = folder / run.input;
    const std::string output = folder / run.output;
    if (run.bytes) WriteBytes(input, *run.bytes);
    if (run.oldOutput) WriteBytes(output, run.oldOutput);
    Program program;
    ASSERT_TRUE(program.Started());
    program.Click(run.type);
    program.SetText(IDC_SOURCE_PATH, input);
    program.SetText(IDC_OUTPUT_PATH, output);
    program.Click(IDC_CONVERT);

    for (const Box& expected : run.boxes) {
        HWND box = program.WaitForBox();
        ASSERT_NE(box, nullptr);
        EXPECT_EQ(TextOf(box), expected.caption);
        EXPECT_EQ(TextOf(::GetDlgItem(box, 0xFFFF)), expected.text);
        EXPECT_EQ(::IsWindowVisible(::GetDlgItem(box, IDNO)) != FALSE, expected.answer != IDOK) << "Yes/No or OK";
        EXPECT_EQ(::GetWindow(box, GW_OWNER), program.Dialog());
        EXPECT_EQ(program.Progress(), run.progress);
        program.Answer(box, expected.answer);
    }
    program.Sync();
    EXPECT_EQ(program.OpenBox(), nullptr) << "one box too many";
    EXPECT_EQ(program.Progress(), 0);
    // A run that wrote its output disables Convert until a path changes.
    EXPECT_EQ(program.IsEnabled(IDC_CONVERT), run.boxes.back().text != kWritten.text);
    program.SetText(IDC_OUTPUT_PATH, output);
    EXPECT_TRUE(program.IsEnabled(IDC_CONVERT));

    if (run.golden) {
        EXPECT_EQ(MaskCreationTime(ReadBytes(output)), GoldenFile(run.golden));
    } else if (!run.after.empty()) {
        EXPECT_EQ(Contents(output), run.after);
    }
}

// The bar moves after each full chunk of 28672 bytes.
INSTANTIATE_TEST_SUITE_P(
    Runs, Conversion,
    ::testing::Values(
        ConvertRun{.name = "Char", .boxes = {kWritten}, .golden = "ten_char.c"},
        ConvertRun{.name = "Uint", .type = IDC_TYPE_2BYTE, .input = "three.bin", .bytes = "\x01\x02\x03",
                   .boxes = {kWritten}, .golden = "three_uint.c"},
        ConvertRun{.name = "Ulong", .type = IDC_TYPE_4BYTE, .input = "five.bin", .bytes = "\x01\x02\x03\x04\x05",
                   .boxes = {kWritten}, .golden = "five_ulong.c"},
        ConvertRun{.name = "OverwriteYes", .oldOutput = "old", .boxes = {kOverwriteYes, kWritten},
                   .golden = "ten_char.c"},
        ConvertRun{.name = "OverwriteNo", .oldOutput = "old", .boxes = {kOverwriteNo}, .after = "old"},
        ConvertRun{.name = "MissingInput", .bytes = std::nullopt, .boxes = {kNotFound}, .after = kAbsent},
        ConvertRun{.name = "OutputFolderMissing", .output = "none\\ten.c", .boxes = {kBadPath}, .after = kAbsent},
        ConvertRun{.name = "SameFileInAndOut", .output = "ten.bin", .boxes = {kOverwriteYes, kSharing},
                   .after = "0123456789"},
        ConvertRun{.name = "TwoChunks", .bytes = Pattern(57344), .boxes = {kWritten}, .progress = 100},
        ConvertRun{.name = "OneChunkAndAByte", .bytes = Pattern(28673), .boxes = {kWritten}, .progress = 99}),
    kRowName);

// Only the first file dropped counts, and only on the input field. "表" ends
// in the byte 0x5C, which a byte-wise search would take for a backslash.
TEST_F(MainDialog, PathsComeFromADropOnTheInputAndConvertNeedsBoth) {
    Program program;
    ASSERT_TRUE(program.Started());
    EXPECT_FALSE(program.IsEnabled(IDC_CONVERT));
    const std::vector<std::string> files = {"C:\\\x95\x5c\\pack.tar.gz", "D:\\second.bin"};
    program.Drop(files, program.CentreOf(IDC_OUTPUT_PATH));
    EXPECT_EQ(program.Text(IDC_SOURCE_PATH), "");
    EXPECT_EQ(program.Text(IDC_OUTPUT_PATH), "");
    program.Drop(files, program.CentreOf(IDC_SOURCE_PATH));
    EXPECT_EQ(program.Text(IDC_SOURCE_PATH), files[0]);
    EXPECT_EQ(program.Text(IDC_OUTPUT_PATH), "C:\\\x95\x5c\\pack.tar.c");
    EXPECT_TRUE(program.IsEnabled(IDC_CONVERT));

    program.SetText(IDC_SOURCE_PATH, "");
    EXPECT_FALSE(program.IsEnabled(IDC_CONVERT));
    program.SetText(IDC_SOURCE_PATH, "C:\\in.bin");
    program.SetText(IDC_OUTPUT_PATH, "");
    EXPECT_FALSE(program.IsEnabled(IDC_CONVERT));
}

TEST_F(MainDialog, FirstStartShowsTheDefaultsAndTheChoicesSurviveARestart) {
    {
        Program program(folder.Path().string());
        ASSERT_TRUE(program.Started());
        EXPECT_TRUE(program.IsChecked(IDC_TYPE_1BYTE));
        EXPECT_FALSE(program.IsChecked(IDC_TOPMOST));
        EXPECT_FALSE(program.IsTopmost());
        program.Click(IDC_TYPE_4BYTE);
        program.Click(IDC_TOPMOST);  // with no other topmost window on the desktop
        program.Sync();
        EXPECT_TRUE(program.IsTopmost());
        program.Click(IDC_EXIT);
        ASSERT_EQ(program.WaitForExit(), 0u);
    }
    EXPECT_EQ(Setting("LastDir"), folder.Path().string() + "\\");

    Program program;
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(program.IsChecked(IDC_TYPE_4BYTE));
    EXPECT_TRUE(program.IsChecked(IDC_TOPMOST));
    EXPECT_TRUE(program.IsTopmost());
    program.Click(IDC_TOPMOST);
    program.Sync();
    EXPECT_FALSE(program.IsTopmost());
}

// Each a message posted to a control (0: the dialog itself).
struct Ending {
    const char* name;
    int control;
    UINT message;
    WPARAM wParam;
};

using Endings = MainDialogTable<Ending>;

TEST_P(Endings, EndTheProgramAndStoreTheSettings) {
    Program program;
    ASSERT_TRUE(program.Started());
    program.Click(IDC_TYPE_2BYTE);
    program.Sync();
    const Ending& ending = GetParam();
    HWND target = ending.control != 0 ? program.Item(ending.control) : program.Dialog();
    ::PostMessageA(target, ending.message, ending.wParam, 0);
    EXPECT_EQ(program.WaitForExit(), 0u);
    EXPECT_EQ(Setting("DataType"), "1");
    EXPECT_EQ(Setting("TopWin"), "0");
}

INSTANTIATE_TEST_SUITE_P(Ways, Endings,
                         ::testing::Values(Ending{"Exit", IDC_EXIT, BM_CLICK, 0},
                                           Ending{"Escape", IDC_TYPE_2BYTE, WM_KEYDOWN, VK_ESCAPE},
                                           Ending{"CloseBox", 0, WM_SYSCOMMAND, SC_CLOSE}),
                         kRowName);

}  // namespace
}  // namespace e2e
