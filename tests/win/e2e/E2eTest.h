#pragma once

// What the tests of the real program share: the texts it shows (as the
// code page 932 bytes it must show), a fixture that starts every test from
// a user without settings, and a run of Convert through its message boxes.

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "ProgramDriver.h"
#include "tests/support/TestSupport.h"

namespace e2e {

// "Arrayforge"
inline const std::string kAppTitle = "Arrayforge";

// The message boxes of a run.
enum class Box {
    Overwrite,     // "書込先ﾌｧｲﾙが存在します。\n上書きしていいですか？", Yes/No
    Written,       // "ﾌｧｲﾙを書き込みました。"
    NotFound,      // "ﾌｧｲﾙが見つかりません", caption "エラー"
    BadPath,       // "書き出しﾌｧｲﾙ名が不正です。", caption "エラー"
    Sharing,       // "ﾌｧｲﾙの共有違反です。", caption "エラー"
    WriteProtect,  // "ﾌｧｲﾙが書き込み禁止です。", caption "エラー"
};

// One box the run must show, and the button the user clicks in it.
struct Step {
    Box box;
    int answer = IDOK;
};

// The state of the dialog while a box was up.
struct Moment {
    int progress;
    bool convertEnabled;
};

// Goes through the boxes of a run already started: each must come in turn
// with its caption, text and buttons, owned by the dialog, and is answered;
// no other box may follow.
std::vector<Moment> GoThroughBoxes(Program& program, const std::vector<Step>& steps);
// Clicks Convert, then as GoThroughBoxes.
std::vector<Moment> Convert(Program& program, const std::vector<Step>& steps);

// The checked one of the three radio buttons, 0 when none or several are.
int CheckedElementType(const Program& program);

// Every test starts from a user without settings and leaves none behind.
class ProgramTest : public ::testing::Test {
protected:
    void SetUp() override { settings::Delete(); }
    void TearDown() override { settings::Delete(); }

    // Writes "0123456789" into tenBin; converted as char it gives ten_char.c.
    void WriteTenBin() { testing_support::WriteBytes(tenBin, "0123456789"); }

    testing_support::ScratchFolder folder;
    const std::string tenBin = folder / "ten.bin";
    const std::string tenC = folder / "ten.c";
};

template <class Row>
class ProgramTestWith : public ProgramTest, public ::testing::WithParamInterface<Row> {};

// Names the rows of a table by their `name` member.
struct RowName {
    template <class Info>
    std::string operator()(const Info& info) const {
        return info.param.name;
    }
};

}  // namespace e2e
