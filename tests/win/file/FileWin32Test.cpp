// The Win32 file layer on what only Windows has: its error codes, names in
// code page 932 and a full drive. (The core tests run here too, share
// modes and text mode included.)

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

const std::string kDiskFullReport =
    "\x20\x82\xd6\x82\xcc\xb1\xb8\xbe\xbd\x92\x86\x82\xc9\xc3\xde\xa8\xbd\xb8\x82\xaa\x82\xa2\x82\xc1"
    "\x82\xcf\x82\xa2\x82\xc9\x82\xc8\x82\xe8\x82\xdc\x82\xb5\x82\xbd\x81\x42";

FileError OpenError(const std::string& path, OpenMode mode) {
    CFile file;
    auto error = file.Open(path, mode);
    return error.value_or(FileError{});
}

TEST(Win32File, ErrorCodesAndCauses) {
    ScratchFolder folder;
    std::filesystem::create_directory(folder.Path() / "dir");
    FileError missing = OpenError(folder / "missing.bin", OpenMode::Input);
    EXPECT_EQ(missing.systemCode, 2);
    EXPECT_EQ(missing.cause, FileErrorCause::FileNotFound);
    FileError noFolder = OpenError(folder / "nowhere\\out.c", OpenMode::Output);
    EXPECT_EQ(noFolder.systemCode, 3);
    EXPECT_EQ(noFolder.cause, FileErrorCause::BadPath);
    FileError badName = OpenError(folder / "what?.c", OpenMode::Output);
    EXPECT_EQ(badName.systemCode, 123);
    EXPECT_EQ(badName.cause, FileErrorCause::BadPath);
    FileError folderAsFile = OpenError(folder / "dir", OpenMode::Output);
    EXPECT_EQ(folderAsFile.systemCode, 5);
    EXPECT_EQ(folderAsFile.cause, FileErrorCause::AccessDenied);
}

TEST(Win32File, RecordsTheFullPathAndTheTwoByteName) {
    ScratchFolder folder;
    const std::string name = "\x95\x5C\x83\x5C.bin";  // 表ソ.bin: both second bytes are 0x5C
    std::string path = folder / name;
    HANDLE created = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(created, INVALID_HANDLE_VALUE);
    CloseHandle(created);

    ASSERT_TRUE(SetCurrentDirectoryA(folder.Path().string().c_str()));
    CFile file;
    ASSERT_FALSE(file.Open(name, OpenMode::Input));
    EXPECT_EQ(file.FileName(), name);
    char full[MAX_PATH];
    GetFullPathNameA(name.c_str(), MAX_PATH, full, nullptr);
    EXPECT_EQ(file.FullPath(), full);
    file.Close();
    SetCurrentDirectoryA("C:\\");
}

// A drive of a few kilobytes, prepared by the test script (see scripts/test.sh).
std::string FullDrive() {
    const char* drive = std::getenv("ARRAYFORGE_SMALL_DRIVE");
    return drive ? drive : "";
}

TEST(Win32Run, FullDiskEscapesAsDiskFullNamingTheOutput) {
    if (FullDrive().empty()) GTEST_SKIP() << "no small drive prepared (ARRAYFORGE_SMALL_DRIVE)";
    ScratchFolder folder;
    WriteBytes(folder / "in.bin", Pattern(200000));
    std::string output = FullDrive() + "\\out.c";
    DeleteFileA(output.c_str());
    RecordingUi ui;
    try {
        CArrayWriter::Run({folder / "in.bin", output, DataType::Char}, ui);
        FAIL() << "a full disk went unreported";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause, FileErrorCause::DiskFull);
        EXPECT_EQ(error.path, output);
        EXPECT_EQ(ErrorReportText(error), output + kDiskFullReport);
    }
    EXPECT_NE(ui.events.back(), "done") << "no completion message after a failure";
    DeleteFileA(output.c_str());
}

}  // namespace
