// The conversion run's flows on real files: questions, refusals, open
// failures and the boxes the user sees for each.

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <utility>

#include <sys/stat.h>
#ifndef _WIN32
#include <unistd.h>
#endif

#include "base/ErrorReport.h"
#include "base/File.h"
#include "base/Texts.h"
#include "generator/ArrayWriter.h"
#include "generator/SourceFormat.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

// The boxes of a run (their bytes are checked with the error report's).
const std::string kChanged(texts::kInputChanged), kNotFound(texts::kInputNotFound), kBadName(texts::kOutputBadPath),
    kSharing(texts::kOutputSharingViolation), kProtected(texts::kOutputAccessDenied);

struct Flow {
    const char* name;
    const char* input;           // "in.bin" holds "abc"; other names do not exist
    const char* output;          // "out.c" may exist (below); "dir.c" is a folder
    const char* existingOutput;  // its content before the run, or null
    std::vector<bool> answers;   // to the overwrite question
    RunOutcome outcome;
    std::vector<std::string> events;  // what the run shows, in order
};

const std::string kAsk = "ask";
// Reports name the file by its full path, with the system's separators.
#ifdef _WIN32
constexpr char kInMissingFolder[] = "nowhere\\in.bin";
#else
constexpr char kInMissingFolder[] = "nowhere/in.bin";
#endif
const std::vector<std::string> kWrittenEvents = {"started", "done", "finished"};

std::string Error(const std::string& text) { return "error:" + text; }
// The error report's text for a cause, naming "{dir}/<name>" (the test's folder).
std::string Report(FileErrorCause cause, const std::string& name) {
    return Error(ErrorReportText({cause, 0, "{dir}/" + name}));
}

class Flows : public ::testing::TestWithParam<Flow> {};

TEST_P(Flows, ShowWhatTheyShouldAndLeaveFilesAsTheyShould) {
    const Flow& flow = GetParam();
    ScratchFolder folder;
    WriteBytes(folder / "in.bin", "abc");
    std::filesystem::create_directory(folder.Path() / "dir.c");
    if (flow.existingOutput) WriteBytes(folder / flow.output, flow.existingOutput);
    RecordingUi ui;
    for (bool answer : flow.answers) ui.AnswerNext(answer);
    EXPECT_EQ(CArrayWriter::Run(ClassicRequest(folder / flow.input, folder / flow.output, ElementType::Char), ui), flow.outcome);
    std::vector<std::string> expected = flow.events;
    for (std::string& event : expected)
        if (auto at = event.find("{dir}/"); at != std::string::npos) event.replace(at, 6, folder / "");
    EXPECT_EQ(ui.events, expected);
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        const std::string name = entry.path().filename().string();
        EXPECT_TRUE(name == "in.bin" || name == "dir.c" || name == flow.output) << "left behind: " << name;
    }
    std::string output = ReadBytes(folder / flow.output);
    if (flow.outcome == RunOutcome::Written) {
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
        Flow{"NewOutput", "in.bin", "out.c", nullptr, {}, RunOutcome::Written, kWrittenEvents},
        Flow{"OverwriteYes", "in.bin", "out.c", "old text", {true}, RunOutcome::Written, {kAsk, "started", "done", "finished"}},
        Flow{"OverwriteNo", "in.bin", "out.c", "old text", {false}, RunOutcome::Declined, {kAsk}},
        Flow{"MissingInput", "missing.bin", "out.c", nullptr, {}, RunOutcome::InputNotOpened, {Error(kNotFound)}},
        Flow{"MissingInputAfterYes", "missing.bin", "out.c", "old", {true}, RunOutcome::InputNotOpened,
             {kAsk, Error(kNotFound)}},
        // Other failures to open get the error report's text, naming the file.
        Flow{"InputInMissingFolder", kInMissingFolder, "out.c", nullptr, {}, RunOutcome::InputNotOpened,
             {Report(FileErrorCause::BadPath, kInMissingFolder)}},
        Flow{"FolderAsInput", "dir.c", "out.c", nullptr, {}, RunOutcome::InputNotOpened,
             {Report(FileErrorCause::AccessDenied, "dir.c")}},
        Flow{"OutputInMissingFolder", "in.bin", "nowhere/out.c", nullptr, {}, RunOutcome::OutputNotOpened,
             {Error(kBadName)}},
        Flow{"FolderAsOutput", "in.bin", "dir.c", nullptr, {}, RunOutcome::OutputNotOpened, {Error(kProtected)}},
        // The input is open for reading only, so it cannot also be the output.
        Flow{"SameFileInAndOut", "in.bin", "in.bin", "abc", {true}, RunOutcome::OutputNotOpened,
             {kAsk, Error(kSharing)}}),
    [](const auto& info) { return std::string(info.param.name); });

#ifndef _WIN32  // (on Windows nobody may write to the input while it is read)
// The header's size is written first: an input that grows or shrinks while
// it is read fails the run, and the old output stays. So does the second of
// two inputs changing while the first is read.
TEST(ConversionRun, InputThatChangesWhileReadFailsAndLeavesTheOutput) {
    for (auto [grow, arrays] : {std::pair{true, 0}, {false, 0}, {true, 1}, {false, 1}, {true, 2}}) {
        ScratchFolder folder;
        const std::string input = folder / "in.bin";
        // The change comes after the first chunk, before the next read.
        const long size = source_format::kReadSize + source_format::kChunkSize;
        WriteBytes(input, Pattern(size));
        WriteBytes(folder / "first.bin", Pattern(size));
        WriteBytes(folder / "out.c", "old");
        RecordingUi ui;
        ui.AnswerNext(true);
        bool changed = false;
        ui.onAdvance = [&] {
            if (std::exchange(changed, true)) return;
            struct stat temporary {};
            for (const std::string& unnamed : UnnamedFilesOpenIn(::getpid(), folder.Path()))
                ::stat(unnamed.c_str(), &temporary);
            EXPECT_TRUE(arrays > 0 || temporary.st_blocks * 512 >= 5 * size) << "room for the whole output set aside at once";
            if (grow) WriteBytes(input, Pattern(size + 1));
            else std::filesystem::resize_file(input, 100);
        };
        ConversionRequest request = ClassicRequest(input, folder / "out.c", ElementType::Char);
        if (arrays > 0) request.arrays = {{input, {}, ArrayForm{.isConst = true}}};
        if (arrays == 2) request.arrays.insert(request.arrays.begin(), {folder / "first.bin", {}, ArrayForm{.name = "first"}});
        ASSERT_EQ(CArrayWriter::Run(request, ui), RunOutcome::InputChanged) << arrays;
        EXPECT_EQ(ui.events.back(), Error(kChanged)) << grow;
        EXPECT_EQ(ui.errorPaths.back(), input);
        EXPECT_EQ(ReadBytes(folder / "out.c"), "old");
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 3) << "no temporary left";
    }
}

#endif

// A small file system (ARRAYFORGE_SMALL_DIR, a folder ending in its
// separator, made by scripts/test.sh) fills up: the failure escapes naming
// the file, and both the output and its declarations header keep their old
// content, whichever of the two found the disk full.
TEST(ConversionRun, FullDiskLeavesTheOldOutputAndHeader) {
    const char* small = std::getenv("ARRAYFORGE_SMALL_DIR");
    if (small == nullptr) GTEST_SKIP() << "no small file system prepared";
    ScratchFolder scratch;
    WriteBytes(scratch / "in.bin", Pattern(200000));
    const std::string inSmall = std::string(small) + "full.c";
    for (const bool headerFails : {false, true}) {
        const std::string output = headerFails ? scratch / "out.c" : inSmall;
        std::string header = std::string(small) + "full.h";
        WriteBytes(output, "old");
        WriteBytes(header, "");  // (a page of its own would take the new one)
#ifndef _WIN32  // A link is rewritten in place: its room is found missing once its text is complete.
        if (headerFails) {
            std::filesystem::create_symlink(header, scratch / "linked.h");
            header = scratch / "linked.h";
        }
#endif
        if (headerFails) std::ofstream(std::string(small) + "filler", std::ios::binary) << Pattern(200000);  // what fits
        RecordingUi ui;
        ui.AnswerNext(true);
        ui.AnswerNext(true);
        ConversionRequest request{{{scratch / "in.bin", {}, ArrayForm{.declaredInHeader = true}}}, output};
        request.headerPath = header;
        try {
            CArrayWriter::Run(request, ui);
            ADD_FAILURE() << "a full disk went unreported";
        } catch (const FileError& error) {
            EXPECT_EQ(error.cause, FileErrorCause::DiskFull);
            EXPECT_EQ(error.path, headerFails ? header : output);
        }
        EXPECT_EQ(ReadBytes(output) + ReadBytes(header), "old") << headerFails;
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(small), {}), 2) << "no temporary left";
        for (const std::string& file : {std::string(small) + "filler", output, std::string(small) + "full.h"})
            std::filesystem::remove(file);
    }
}

}  // namespace
