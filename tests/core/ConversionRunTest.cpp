// The conversion run's flows on real files: questions, refusals, open
// failures and the messages the user sees for each.

#include <gtest/gtest.h>

#include "app/File.h"
#include "generator/ArrayWriter.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

const std::string kOverwriteQuestion =
    "\x8f\x91\x8d\x9e\x90\xe6\xcc\xa7\xb2\xd9\x82\xaa\x91\xb6\x8d\xdd\x82\xb5\x82\xdc\x82\xb7\x81\x42\x0a"
    "\x8f\xe3\x8f\x91\x82\xab\x82\xb5\x82\xc4\x82\xa2\x82\xa2\x82\xc5\x82\xb7\x82\xa9\x81\x48";
const std::string kErrorCaption = "\x83\x47\x83\x89\x81\x5b";
const std::string kInputNotFound = "\xcc\xa7\xb2\xd9\x82\xaa\x8c\xa9\x82\xc2\x82\xa9\x82\xe8\x82\xdc\x82\xb9\x82\xf1";
const std::string kBadOutputName =
    "\x8f\x91\x82\xab\x8f\x6f\x82\xb5\xcc\xa7\xb2\xd9\x96\xbc\x82\xaa\x95\x73\x90\xb3\x82\xc5\x82\xb7\x81\x42";
const std::string kSharingViolation = "\xcc\xa7\xb2\xd9\x82\xcc\x8b\xa4\x97\x4c\x88\xe1\x94\xbd\x82\xc5\x82\xb7\x81\x42";
const std::string kWriteProtected =
    "\xcc\xa7\xb2\xd9\x82\xaa\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x8b\xd6\x8e\x7e\x82\xc5\x82\xb7\x81\x42";
const std::string kFileWritten = "\xcc\xa7\xb2\xd9\x82\xf0\x8f\x91\x82\xab\x8d\x9e\x82\xdd\x82\xdc\x82\xb5\x82\xbd\x81\x42";

WindowRef const kOwner = reinterpret_cast<WindowRef>(0x1234);

class ConversionRun : public ::testing::Test {
protected:
    RunOutcome Run(const std::string& input, const std::string& output) {
        ScopedMessageBoxHost host(boxes);
        return CArrayWriter::Run(ConversionRequest{input, output, DataType::Char}, sink, kOwner);
    }

    void ExpectOnlyErrorBox(const std::string& text) {
        ASSERT_EQ(boxes.Shown().size(), 1u);
        const ShownBox& box = boxes.Shown()[0];
        EXPECT_FALSE(box.appBox);
        EXPECT_EQ(box.owner, kOwner);
        EXPECT_EQ(box.caption, kErrorCaption);
        EXPECT_EQ(box.text, text);
        EXPECT_EQ(box.style, 0x10u);
    }

    // The file is closed when it can be opened with no sharing at all.
    static bool IsClosed(const std::string& path) {
        CFile probe;
        return !probe.Open(path, OpenMode::Probe).has_value();
    }

    ScratchFolder folder;
    ScriptedMessageBoxes boxes;
    RecordingSink sink;
};

TEST_F(ConversionRun, NewOutputIsWrittenWithoutQuestionThenReported) {
    WriteBytes(folder / "in.bin", "abc");
    EXPECT_EQ(Run(folder / "in.bin", folder / "out.c"), RunOutcome::Written);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_TRUE(boxes.Shown()[0].appBox);
    EXPECT_EQ(boxes.Shown()[0].text, kFileWritten);
    EXPECT_EQ(boxes.Shown()[0].style, 0x40u);
    EXPECT_EQ(sink.events, (std::vector<std::string>{"started", "finished"}));
    EXPECT_NE(ReadBytes(folder / "out.c").find("0x61,0x62,0x63\r\n"), std::string::npos);
}

TEST_F(ConversionRun, ExistingOutputIsReplacedAfterYes) {
    WriteBytes(folder / "in.bin", "abc");
    WriteBytes(folder / "out.c", std::string(100000, 'Q'));
    boxes.AnswerNext(mb::kIdYes);
    EXPECT_EQ(Run(folder / "in.bin", folder / "out.c"), RunOutcome::Written);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].text, kOverwriteQuestion);
    EXPECT_EQ(boxes.Shown()[0].style, 0x24u);
    EXPECT_TRUE(boxes.Shown()[0].appBox);
    std::string written = ReadBytes(folder / "out.c");
    EXPECT_EQ(written.find('Q'), std::string::npos) << "truncated before writing";
    EXPECT_NE(written.find("0x61,0x62,0x63\r\n"), std::string::npos);
}

TEST_F(ConversionRun, ExistingOutputIsLeftAloneAfterNo) {
    WriteBytes(folder / "in.bin", "abc");
    WriteBytes(folder / "out.c", "keep me");
    boxes.AnswerNext(mb::kIdNo);
    EXPECT_EQ(Run(folder / "in.bin", folder / "out.c"), RunOutcome::Declined);
    EXPECT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(ReadBytes(folder / "out.c"), "keep me");
    EXPECT_TRUE(sink.events.empty());
}

TEST_F(ConversionRun, MissingInputIsReportedAndNoOutputCreated) {
    EXPECT_EQ(Run(folder / "missing.bin", folder / "out.c"), RunOutcome::InputNotOpened);
    ExpectOnlyErrorBox(kInputNotFound);
    EXPECT_FALSE(std::filesystem::exists(folder.Path() / "out.c"));
    EXPECT_TRUE(sink.events.empty());
}

TEST_F(ConversionRun, MissingInputAfterYesLeavesExistingOutputUntouched) {
    WriteBytes(folder / "out.c", "keep me");
    boxes.AnswerNext(mb::kIdYes);
    EXPECT_EQ(Run(folder / "missing.bin", folder / "out.c"), RunOutcome::InputNotOpened);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].text, kOverwriteQuestion);
    EXPECT_EQ(boxes.Shown()[1].text, kInputNotFound);
    EXPECT_EQ(ReadBytes(folder / "out.c"), "keep me");
}

TEST_F(ConversionRun, InputInMissingFolderShowsNothing) {
    // Only "file not found" has a message when the input cannot be opened.
    EXPECT_EQ(Run(folder / "nowhere/in.bin", folder / "out.c"), RunOutcome::InputNotOpened);
    EXPECT_TRUE(boxes.Shown().empty());
}

TEST_F(ConversionRun, OutputInMissingFolderIsABadNameAndClosesTheInput) {
    WriteBytes(folder / "in.bin", "abc");
    EXPECT_EQ(Run(folder / "in.bin", folder / "nowhere/out.c"), RunOutcome::OutputNotOpened);
    ExpectOnlyErrorBox(kBadOutputName);
    EXPECT_TRUE(IsClosed(folder / "in.bin"));
    EXPECT_TRUE(sink.events.empty());
}

TEST_F(ConversionRun, FolderAsOutputIsWriteProtected) {
    WriteBytes(folder / "in.bin", "abc");
    std::filesystem::create_directory(folder.Path() / "dir.c");
    EXPECT_EQ(Run(folder / "in.bin", folder / "dir.c"), RunOutcome::OutputNotOpened);
    ExpectOnlyErrorBox(kWriteProtected);
}

TEST_F(ConversionRun, OutputHeldOpenByAnotherIsASharingViolationWithoutQuestion) {
    WriteBytes(folder / "in.bin", "abc");
    WriteBytes(folder / "out.c", "held");
    CFile holder;
    ASSERT_FALSE(holder.Open(folder / "out.c", OpenMode::Input));
    EXPECT_EQ(Run(folder / "in.bin", folder / "out.c"), RunOutcome::OutputNotOpened);
    ExpectOnlyErrorBox(kSharingViolation);
    EXPECT_TRUE(IsClosed(folder / "in.bin"));
    holder.Close();
    EXPECT_EQ(ReadBytes(folder / "out.c"), "held");
}

TEST_F(ConversionRun, SameFileAsInputAndOutputIsNeverDestroyed) {
    WriteBytes(folder / "same.bin", "precious");
    boxes.AnswerNext(mb::kIdYes);
    EXPECT_EQ(Run(folder / "same.bin", folder / "same.bin"), RunOutcome::OutputNotOpened);
    ASSERT_EQ(boxes.Shown().size(), 2u);
    EXPECT_EQ(boxes.Shown()[0].text, kOverwriteQuestion);
    EXPECT_EQ(boxes.Shown()[1].text, kSharingViolation);
    EXPECT_EQ(ReadBytes(folder / "same.bin"), "precious");
    EXPECT_TRUE(IsClosed(folder / "same.bin"));
}

#ifndef _WIN32
TEST_F(ConversionRun, WriteFailureEscapesAsDiskFullWithTheOutputPath) {
    // /dev/full takes the open and refuses every write with ENOSPC.
    WriteBytes(folder / "in.bin", Pattern(100000));
    boxes.AnswerNext(mb::kIdYes);
    try {
        Run(folder / "in.bin", "/dev/full");
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
