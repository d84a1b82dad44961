// The conversion run's flows on real files: questions, refusals, open
// failures and the boxes the user sees for each.

#include <gtest/gtest.h>

#include "app/File.h"
#include "generator/ArrayWriter.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

// The boxes of a run, as code page 932 bytes.
const std::string kQuestion =
    "\x8f\x91\x8d\x9e\x90\xe6\xcc\xa7\xb2\xd9\x82\xaa\x91\xb6\x8d\xdd\x82\xb5\x82\xdc\x82\xb7\x81\x42\x0a"
    "\x8f\xe3\x8f\x91\x82\xab\x82\xb5\x82\xc4\x82\xa2\x82\xa2\x82\xc5\x82\xb7\x82\xa9\x81\x48";
const std::string kNotFound = "\xcc\xa7\xb2\xd9\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
const std::string kBadName =
    "\x8f\x91\x82\xab\x8f\x6f\x82\xb5\xcc\xa7\xb2\xd9\x96\xbc\x82\xaa\x95\x73\x90\xb3\x82\xc5\x82\xb7\x81\x42";
const std::string kSharing = "\xcc\xa7\xb2\xd9\x82\xcc\x8b\xa4\x97\x4c\x88\xe1\x94\xbd\x82\xc5\x82\xb7\x81\x42";
const std::string kProtected =
    "\xcc\xa7\xb2\xd9\x82\xaa\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x8b\xd6\x8e\x7e\x82\xc5\x82\xb7\x81\x42";
const std::string kWritten = "\xcc\xa7\xb2\xd9\x82\xf0\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x82\xdc\x82\xb5\x82\xbd\x81\x42";
const std::string kErrorCaption = "\x83\x47\x83\x89\x81\x5b";

WindowRef const kOwner = reinterpret_cast<WindowRef>(0x1234);

// A file that is closed can be opened with no sharing at all.
bool IsClosed(const std::string& path) {
    CFile probe;
    return !probe.Open(path, OpenMode::Probe).has_value();
}

struct Flow {
    const char* name;
    const char* input;           // "in.bin" holds "abc"; other names do not exist
    const char* output;          // "out.c" may exist (below); "dir.c" is a folder
    const char* existingOutput;  // its content before the run, or null
    int answer;                  // to the overwrite question, if one is expected
    RunOutcome outcome;
    std::vector<std::string> boxes;  // every box, in order
};

class Flows : public ::testing::TestWithParam<Flow> {};

TEST_P(Flows, ShowTheirBoxesAndLeaveFilesAsTheyShould) {
    const Flow& flow = GetParam();
    ScratchFolder folder;
    WriteBytes(folder / "in.bin", "abc");
    std::filesystem::create_directory(folder.Path() / "dir.c");
    if (flow.existingOutput) WriteBytes(folder / flow.output, flow.existingOutput);
    ScriptedMessageBoxes boxes;
    if (flow.answer != 0) boxes.AnswerNext(flow.answer);
    RecordingSink sink;
    {
        ScopedMessageBoxHost host(boxes);
        EXPECT_EQ(CArrayWriter::Run({folder / flow.input, folder / flow.output, DataType::Char}, sink, kOwner),
                  flow.outcome);
    }
    ASSERT_EQ(boxes.Shown().size(), flow.boxes.size());
    for (std::size_t i = 0; i < flow.boxes.size(); ++i) {
        const ShownBox& box = boxes.Shown()[i];
        EXPECT_EQ(box.text, flow.boxes[i]) << i;
        bool error = !box.appBox;
        EXPECT_EQ(box.style, error ? 0x10u : box.text == kQuestion ? 0x24u : 0x40u) << i;
        if (error) {
            EXPECT_EQ(box.caption, kErrorCaption);
            EXPECT_EQ(box.owner, kOwner);
        }
    }
    EXPECT_TRUE(IsClosed(folder / "in.bin"));
    const bool written = flow.outcome == RunOutcome::Written;
    const std::vector<std::string> events = written ? std::vector<std::string>{"started", "finished"}
                                                    : std::vector<std::string>{};
    EXPECT_EQ(sink.events, events);
    std::string output = ReadBytes(folder / flow.output);
    if (written) {
        EXPECT_NE(output.find("\t\t0x61,0x62,0x63\r\n\t};\r\n"), std::string::npos);
    } else if (flow.existingOutput) {
        EXPECT_EQ(output, flow.existingOutput) << "an output the run gave up on is untouched";
    } else {
        EXPECT_FALSE(std::filesystem::is_regular_file(folder.Path() / flow.output)) << "no output made";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Run, Flows,
    ::testing::Values(
        Flow{"NewOutput", "in.bin", "out.c", nullptr, 0, RunOutcome::Written, {kWritten}},
        Flow{"OverwriteYes", "in.bin", "out.c", "old text", mb::kIdYes, RunOutcome::Written, {kQuestion, kWritten}},
        Flow{"OverwriteNo", "in.bin", "out.c", "old text", mb::kIdNo, RunOutcome::Declined, {kQuestion}},
        Flow{"MissingInput", "missing.bin", "out.c", nullptr, 0, RunOutcome::InputNotOpened, {kNotFound}},
        Flow{"MissingInputAfterYes", "missing.bin", "out.c", "old", mb::kIdYes, RunOutcome::InputNotOpened,
             {kQuestion, kNotFound}},
        // Only "not found" has a message among the input's failures.
        Flow{"InputInMissingFolder", "nowhere/in.bin", "out.c", nullptr, 0, RunOutcome::InputNotOpened, {}},
        Flow{"OutputInMissingFolder", "in.bin", "nowhere/out.c", nullptr, 0, RunOutcome::OutputNotOpened, {kBadName}},
        Flow{"FolderAsOutput", "in.bin", "dir.c", nullptr, 0, RunOutcome::OutputNotOpened, {kProtected}},
        // The input is open for reading only, so it cannot also be the output.
        Flow{"SameFileInAndOut", "in.bin", "in.bin", "abc", mb::kIdYes, RunOutcome::OutputNotOpened,
             {kQuestion, kSharing}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ConversionRun, OutputHeldOpenElsewhereIsASharingViolationWithoutQuestion) {
    ScratchFolder folder;
    WriteBytes(folder / "in.bin", "abc");
    WriteBytes(folder / "out.c", "held");
    CFile holder;
    ASSERT_FALSE(holder.Open(folder / "out.c", OpenMode::Input));
    ScriptedMessageBoxes boxes;
    RecordingSink sink;
    ScopedMessageBoxHost host(boxes);
    EXPECT_EQ(CArrayWriter::Run({folder / "in.bin", folder / "out.c", DataType::Char}, sink, kOwner),
              RunOutcome::OutputNotOpened);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, kSharing);
    EXPECT_EQ(ReadBytes(folder / "out.c"), "held");
}

#ifndef _WIN32
TEST(ConversionRun, WriteFailureEscapesAsDiskFullWithTheOutputPath) {
    // /dev/full takes the open and refuses every write with ENOSPC.
    ScratchFolder folder;
    WriteBytes(folder / "in.bin", Pattern(100000));
    ScriptedMessageBoxes boxes;
    boxes.AnswerNext(mb::kIdYes);
    RecordingSink sink;
    ScopedMessageBoxHost host(boxes);
    try {
        CArrayWriter::Run({folder / "in.bin", "/dev/full", DataType::Char}, sink, kOwner);
        FAIL() << "the write failure was swallowed";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause, FileErrorCause::DiskFull);
        EXPECT_EQ(error.path, "/dev/full");
    }
    EXPECT_EQ(sink.events.front(), "started");
    EXPECT_NE(sink.events.back(), "finished");
    EXPECT_TRUE(IsClosed(folder / "in.bin"));
}
#endif

}  // namespace
