// The real program's main dialog used by hand: how it opens, when Convert
// can be clicked, dropped files, Enter, stay-on-top and every way to end it.

#include "E2eTest.h"

using namespace e2e;
using namespace testing_support;

namespace {

using MainDialog = ProgramTest;

TEST_F(MainDialog, OpensEmptyWithConvertDisabledAndTheInputFocused) {
    Program program;
    ASSERT_TRUE(program.Started());

    char caption[64] = {};
    ::GetWindowTextA(program.Dialog(), caption, sizeof caption);
    EXPECT_EQ(caption, kAppTitle);
    EXPECT_EQ(program.Text(kInput), "");
    EXPECT_EQ(program.Text(kOutput), "");
    EXPECT_FALSE(program.IsEnabled(kConvert));
    EXPECT_EQ(CheckedElementType(program), kChar);
    EXPECT_FALSE(program.IsChecked(kTopMost));
    EXPECT_FALSE(program.IsTopmost());
    EXPECT_EQ(program.ProgressPosition(), 0);
    EXPECT_EQ(program.FocusedWindow(), program.Item(kInput));
    // Without it the shell drops nothing onto the window.
    EXPECT_TRUE(::GetWindowLongA(program.Dialog(), GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
}

TEST_F(MainDialog, ConvertIsEnabledExactlyWhileBothPathsHoldText) {
    Program program;
    ASSERT_TRUE(program.Started());

    struct Edit {
        int field;
        const char* text;
        bool convertEnabled;
    };
    const Edit edits[] = {
        {kOutput, "C:\\out.c", false}, {kInput, "C:\\in.bin", true}, {kInput, "", false},
        {kInput, "C:\\in.bin", true},  {kOutput, "", false},         {kOutput, "C:\\out.c", true},
    };
    for (const Edit& edit : edits) {
        program.SetText(edit.field, edit.text);
        EXPECT_EQ(program.IsEnabled(kConvert), edit.convertEnabled)
            << "after field " << edit.field << " became \"" << edit.text << "\"";
    }
}

TEST_F(MainDialog, AfterARunConvertWaitsForTheNextChangeOfAPath) {
    WriteTenBin();
    Program program;
    ASSERT_TRUE(program.Started());
    program.FillPaths(tenBin, tenC);
    Convert(program, {{Box::Written}});
    ASSERT_FALSE(program.IsEnabled(kConvert));

    // A character typed and taken back again: the same path, but a change.
    program.TypeChar(kOutput, 'x');
    EXPECT_TRUE(program.IsEnabled(kConvert));
    program.TypeChar(kOutput, '\b');
    EXPECT_EQ(program.Text(kOutput), tenC);
    EXPECT_TRUE(program.IsEnabled(kConvert));

    Convert(program, {{Box::Overwrite, IDNO}});
}

TEST_F(MainDialog, EnterConvertsOnlyWhileConvertIsEnabled) {
    WriteTenBin();
    Program program;
    ASSERT_TRUE(program.Started());
    ASSERT_EQ(program.FocusedWindow(), program.Item(kInput));

    program.SetText(kInput, tenBin);
    program.PressKey(VK_RETURN);
    program.Sync();
    EXPECT_EQ(program.OpenBox(), nullptr);
    EXPECT_FALSE(program.WaitForExit(0)) << "Enter ended the program";

    program.SetText(kOutput, tenC);
    program.PressKey(VK_RETURN);
    GoThroughBoxes(program, {{Box::Written}});
    EXPECT_EQ(MaskCreationTime(ReadBytes(tenC)), GoldenFile("ten_char.c"));
}

// Dropped files: only the first one counts, and the output path is the
// input's with its last extension replaced by ".c". Nothing needs to exist.
struct DropRow {
    std::string name;
    std::vector<std::string> paths;
    std::string output;
};

using DropOntoInput = ProgramTestWith<DropRow>;

TEST_P(DropOntoInput, FillsBothPaths) {
    const DropRow& row = GetParam();
    Program program;
    ASSERT_TRUE(program.Started());

    program.Drop(row.paths, program.CentreOf(kInput));

    EXPECT_EQ(program.Text(kInput), row.paths.front());
    EXPECT_EQ(program.Text(kOutput), row.output);
    EXPECT_TRUE(program.IsEnabled(kConvert));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, DropOntoInput,
    ::testing::Values(
        DropRow{"Extension", {"C:\\data\\image.bin"}, "C:\\data\\image.c"},
        DropRow{"TwoExtensions", {"C:\\data\\pack.tar.gz"}, "C:\\data\\pack.tar.c"},
        DropRow{"NoExtension", {"C:\\data\\README"}, "C:\\data\\README.c"},
        DropRow{"SeveralFiles", {"C:\\data\\first.bin", "D:\\other\\second.txt", "C:\\third"}, "C:\\data\\first.c"},
        // "C:\表\データ.bin" and "C:\data\表.bin": "表" ends in the byte 0x5C.
        DropRow{"JapaneseFolder",
                {"C:\\\x95\x5c\\\x83\x66\x81\x5b\x83\x5e.bin"},
                "C:\\\x95\x5c\\\x83\x66\x81\x5b\x83\x5e.c"},
        DropRow{"JapaneseName", {"C:\\data\\\x95\x5c.bin"}, "C:\\data\\\x95\x5c.c"}),
    RowName{});

struct MissedDropRow {
    std::string name;
    std::function<POINT(const Program&)> point;
};

using DropElsewhere = ProgramTestWith<MissedDropRow>;

TEST_P(DropElsewhere, ChangesNothing) {
    Program program;
    ASSERT_TRUE(program.Started());
    program.FillPaths("C:\\keep\\a.bin", "C:\\keep\\a.c");

    program.Drop({"C:\\data\\image.bin"}, GetParam().point(program));

    EXPECT_EQ(program.Text(kInput), "C:\\keep\\a.bin");
    EXPECT_EQ(program.Text(kOutput), "C:\\keep\\a.c");
    program.Sync();  // still alive and answering
}

INSTANTIATE_TEST_SUITE_P(
    Points, DropElsewhere,
    ::testing::Values(MissedDropRow{"OutputField", [](const Program& p) { return p.CentreOf(kOutput); }},
                      MissedDropRow{"ConvertButton", [](const Program& p) { return p.CentreOf(kConvert); }},
                      MissedDropRow{"RadioButton", [](const Program& p) { return p.CentreOf(kUint); }},
                      MissedDropRow{"Background", [](const Program&) { return POINT{2, 2}; }}),
    RowName{});

// A topmost window of the test, over every window there is when it opens.
class TopmostWindow {
public:
    TopmostWindow()
        : m_window(::CreateWindowExA(WS_EX_TOPMOST, "STATIC", "", WS_POPUP | WS_VISIBLE, 0, 0, 8, 8, nullptr, nullptr,
                                     nullptr, nullptr)) {}
    ~TopmostWindow() { ::DestroyWindow(m_window); }
    HWND Get() const { return m_window; }

private:
    HWND m_window;
};

bool IsAbove(HWND upper, HWND lower) {
    for (HWND window = ::GetWindow(lower, GW_HWNDPREV); window != nullptr; window = ::GetWindow(window, GW_HWNDPREV))
        if (window == upper) return true;
    return false;
}

bool RunningUnderWine() { return ::GetProcAddress(::GetModuleHandleA("ntdll.dll"), "wine_get_version") != nullptr; }

// Switched on, the dialog goes over every window, topmost ones included;
// switched off, it is an ordinary window again. (Wine raises a window that
// owns a pop-up, as the dialog owns its tooltip, when it is placed
// HWND_TOPMOST, but does not give it WS_EX_TOPMOST: there only the raise
// shows after a click.)
TEST_F(MainDialog, StayOnTopFollowsTheCheckBox) {
    settings::WriteDword("TopWin", 1);
    Program program;
    ASSERT_TRUE(program.Started());
    EXPECT_TRUE(program.IsChecked(kTopMost));
    EXPECT_TRUE(program.IsTopmost());

    program.Click(kTopMost);
    ASSERT_TRUE(WaitFor([&] { return !program.IsChecked(kTopMost); }));
    EXPECT_FALSE(program.IsTopmost());

    TopmostWindow other;
    ASSERT_TRUE(IsAbove(other.Get(), program.Dialog()));
    program.Click(kTopMost);
    ASSERT_TRUE(WaitFor([&] { return program.IsChecked(kTopMost); }));
    EXPECT_TRUE(IsAbove(program.Dialog(), other.Get()));
    if (!RunningUnderWine()) {
        EXPECT_TRUE(program.IsTopmost());
    }
}

// Every way to end the program ends the process and stores the settings.
struct EndingRow {
    std::string name;
    std::function<void(Program&)> end;
};

using Ending = ProgramTestWith<EndingRow>;

TEST_P(Ending, EndsTheProgramAndStoresTheSettings) {
    Program program;
    ASSERT_TRUE(program.Started());
    program.Click(kUint);
    ASSERT_TRUE(WaitFor([&] { return program.IsChecked(kUint); }));
    program.Sync();
    EXPECT_FALSE(settings::HasValue("DataType")) << "stored before the end";

    GetParam().end(program);

    ASSERT_TRUE(program.WaitForExit()) << "the program is still running";
    EXPECT_EQ(program.ExitCode(), 0u);
    EXPECT_EQ(settings::ReadDword("DataType"), 1u);
    EXPECT_EQ(settings::ReadDword("TopWin"), 0u);
    EXPECT_TRUE(settings::HasValue("LastDir"));
}

INSTANTIATE_TEST_SUITE_P(
    Ways, Ending,
    ::testing::Values(EndingRow{"ExitButton", [](Program& p) { p.Click(kExit); }},
                      // The key goes to whatever has the focus (the radio
                      // button just clicked), through the dialog's keyboard
                      // handling.
                      EndingRow{"EscapeKey", [](Program& p) { p.PressKey(VK_ESCAPE); }},
                      EndingRow{"CloseBox",
                                [](Program& p) { ::PostMessageA(p.Dialog(), WM_SYSCOMMAND, SC_CLOSE, 0); }}),
    RowName{});

}  // namespace
