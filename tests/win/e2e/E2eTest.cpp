#include "E2eTest.h"

namespace e2e {

namespace {

// "エラー"
const std::string kErrorCaption = "\x83\x47\x83\x89\x81\x5b";

struct BoxLook {
    std::string caption;
    std::string text;
    bool yesNo;
};

BoxLook LookOf(Box box) {
    switch (box) {
    case Box::Overwrite:
        return {kAppTitle,
                "\x8f\x91\x8d\x9e\x90\xe6\xcc\xa7\xb2\xd9\x82\xaa\x91\xb6\x8d\xdd\x82\xb5\x82\xdc\x82\xb7\x81\x42\n"
                "\x8f\xe3\x8f\x91\x82\xab\x82\xb5\x82\xc4\x82\xa2\x82\xa2\x82\xc5\x82\xb7\x82\xa9\x81\x48",
                true};
    case Box::Written:
        return {kAppTitle, "\xcc\xa7\xb2\xd9\x82\xf0\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x82\xdc\x82\xb5\x82\xbd\x81\x42",
                false};
    case Box::NotFound:
        return {kErrorCaption, "\xcc\xa7\xb2\xd9\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1",
                false};
    case Box::BadPath:
        return {kErrorCaption,
                "\x8f\x91\x82\xab\x8f\x6f\x82\xb5\xcc\xa7\xb2\xd9\x96\xbc\x82\xaa\x95\x73\x90\xb3\x82\xc5\x82\xb7\x81\x42",
                false};
    case Box::Sharing:
        return {kErrorCaption, "\xcc\xa7\xb2\xd9\x82\xcc\x8b\xa4\x97\x4c\x88\xe1\x94\xbd\x82\xc5\x82\xb7\x81\x42", false};
    case Box::WriteProtect:
        return {kErrorCaption,
                "\xcc\xa7\xb2\xd9\x82\xaa\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x8b\xd6\x8e\x7e\x82\xc5\x82\xb7\x81\x42", false};
    }
    return {};
}

}  // namespace

std::vector<Moment> GoThroughBoxes(Program& program, const std::vector<Step>& steps) {
    std::vector<Moment> moments;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        SCOPED_TRACE(testing::Message() << "box " << i + 1 << " of the run");
        HWND box = program.WaitForBox();
        if (box == nullptr) return moments;
        moments.push_back({program.ProgressPosition(), program.IsEnabled(kConvert)});
        const BoxLook expected = LookOf(steps[i].box);
        const BoxSeen seen = program.Describe(box);
        EXPECT_EQ(seen.caption, expected.caption);
        EXPECT_EQ(seen.text, expected.text);
        EXPECT_EQ(seen.yesNo, expected.yesNo);
        EXPECT_TRUE(seen.ownedByDialog);
        program.Answer(box, steps[i].answer);
    }
    program.Sync();
    EXPECT_EQ(program.OpenBox(), nullptr) << "a box the run should not show";
    return moments;
}

std::vector<Moment> Convert(Program& program, const std::vector<Step>& steps) {
    EXPECT_TRUE(program.IsEnabled(kConvert)) << "Convert is disabled: the user cannot click it";
    program.Click(kConvert);
    return GoThroughBoxes(program, steps);
}

int CheckedElementType(const Program& program) {
    int checked = 0;
    for (int id : {kChar, kUint, kUlong}) {
        if (!program.IsChecked(id)) continue;
        if (checked != 0) return 0;
        checked = id;
    }
    return checked;
}

}  // namespace e2e
