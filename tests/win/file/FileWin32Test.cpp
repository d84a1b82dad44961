// A conversion onto a full drive under Windows: WriteFile fails with 112, or
// a large write returns TRUE with fewer bytes written. (The core tests run
// here too, the cause table of the Windows codes included.)

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "app/ErrorReport.h"
#include "generator/ArrayWriter.h"
#include "tests/support/TestSupport.h"

// A drive of a few kilobytes, prepared by the test script (see scripts/test.sh).
TEST(Win32Run, FullDiskEscapesAsDiskFullNamingTheOutput) {
    const char* drive = std::getenv("ARRAYFORGE_SMALL_DRIVE");
    if (drive == nullptr) GTEST_SKIP() << "no small drive prepared (ARRAYFORGE_SMALL_DRIVE)";
    testing_support::ScratchFolder folder;
    testing_support::WriteBytes(folder / "in.bin", testing_support::Pattern(200000));
    const std::string output = std::string(drive) + "\\out.c";
    ::DeleteFileA(output.c_str());
    testing_support::RecordingUi ui;
    try {
        CArrayWriter::Run({folder / "in.bin", output, DataType::Char}, ui);
        ADD_FAILURE() << "a full disk went unreported";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause, FileErrorCause::DiskFull);
        EXPECT_EQ(error.path, output);
    }
    EXPECT_NE(ui.events.back(), "done") << "no completion message after a failure";
    ::DeleteFileA(output.c_str());
}

