// The Win32 file layer on what only Windows has: its error codes, names in
// code page 932 and a full drive. (The core tests run here too.)

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/ErrorReport.h"
#include "app/File.h"
#include "generator/ArrayWriter.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

TEST(Win32File, ErrorCodesCausesAndTwoByteNames) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder.Path() / "dir");
    const std::string name = "\x95\x5C\x83\x5C.bin";  // 表ソ.bin: both second bytes are 0x5C
    WriteBytes(folder / name, "x");
    struct Case {
        std::string path;
        OpenMode mode;
        int systemCode;
        FileErrorCause cause;
    } const cases[] = {
        {folder / "missing.bin", OpenMode::Input, 2, FileErrorCause::FileNotFound},
        {folder / "nowhere\\out.c", OpenMode::Output, 3, FileErrorCause::BadPath},
        {folder / "what?.c", OpenMode::Output, 123, FileErrorCause::BadPath},
        {folder / "dir", OpenMode::Output, 5, FileErrorCause::AccessDenied},
        {folder / name, OpenMode::Input, 0, FileErrorCause::None},
    };
    for (const Case& c : cases) {
        CFile file;
        const FileError error = file.Open(c.path, c.mode).value_or(FileError{});
        EXPECT_EQ(error.systemCode, c.systemCode) << c.path;
        EXPECT_EQ(error.cause, c.cause) << c.path;
    }
}

// A drive of a few kilobytes, prepared by the test script (see scripts/test.sh).
TEST(Win32Run, FullDiskEscapesAsDiskFullNamingTheOutput) {
    const char* drive = std::getenv("ARRAYFORGE_SMALL_DRIVE");
    if (drive == nullptr) GTEST_SKIP() << "no small drive prepared (ARRAYFORGE_SMALL_DRIVE)";
    ScratchFolder folder;
    WriteBytes(folder / "in.bin", Pattern(200000));
    const std::string output = std::string(drive) + "\\out.c";
    ::DeleteFileA(output.c_str());
    RecordingUi ui;
    try {
        CArrayWriter::Run({folder / "in.bin", output, DataType::Char}, ui);
        ADD_FAILURE() << "a full disk went unreported";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause, FileErrorCause::DiskFull);
        // " へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。"
        EXPECT_EQ(ErrorReportText(error), output + "\x20\x82\xd6\x82\xcc\xb1\xb8\xbe\xbd\x92\x86\x82\xc9\xc3\xde\xa8\xbd"
                                                   "\xb8\x82\xaa\x82\xa2\x82\xc1\x82\xcf\x82\xa2\x82\xc9\x82\xc8\x82\xe8"
                                                   "\x82\xdc\x82\xb5\x82\xbd\x81\x42");
    }
    EXPECT_NE(ui.events.back(), "done") << "no completion message after a failure";
    ::DeleteFileA(output.c_str());
}

}  // namespace
