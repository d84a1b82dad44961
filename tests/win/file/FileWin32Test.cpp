// The Win32 file layer and whole runs on what only Windows has: share
// modes between processes, Windows error codes, a full drive.
// The program doubles as the other process: "--hold PATH" opens PATH for
// reading, sharing only reading, until its standard input closes.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "app/ErrorReport.h"
#include "app/File.h"
#include "generator/ArrayWriter.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

const std::string kSharingViolation = "\xcc\xa7\xb2\xd9\x82\xcc\x8b\xa4\x97\x4c\x88\xe1\x94\xbd\x82\xc5\x82\xb7\x81\x42";
const std::string kBadOutputName =
    "\x8f\x91\x82\xab\x8f\x6f\x82\xb5\xcc\xa7\xb2\xd9\x96\xbc\x82\xaa\x95\x73\x90\xb3\x82\xc5\x82\xb7\x81\x42";
const std::string kDiskFullReport =
    "\x20\x82\xd6\x82\xcc\xb1\xb8\xbe\xbd\x92\x86\x82\xc9\xc3\xde\xa8\xbd\xb8\x82\xaa\x82\xa2\x82\xc1"
    "\x82\xcf\x82\xa2\x82\xc9\x82\xc8\x82\xe8\x82\xdc\x82\xb5\x82\xbd\x81\x42";

int HoldFile(const char* path) {
    HANDLE file = CreateFileA(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    std::puts("held");
    std::fflush(stdout);
    char buffer[16];
    DWORD got = 0;
    while (ReadFile(GetStdHandle(STD_INPUT_HANDLE), buffer, sizeof buffer, &got, nullptr) && got != 0) {
    }
    CloseHandle(file);
    return 0;
}

// Another process holding a file open for reading while it lives.
class OtherProcessHolding {
public:
    explicit OtherProcessHolding(const std::string& path) {
        SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
        HANDLE childIn = nullptr, childOut = nullptr;
        CreatePipe(&childIn, &m_toChild, &inherit, 0);
        CreatePipe(&m_fromChild, &childOut, &inherit, 0);
        SetHandleInformation(m_toChild, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(m_fromChild, HANDLE_FLAG_INHERIT, 0);
        char self[MAX_PATH];
        GetModuleFileNameA(nullptr, self, MAX_PATH);
        std::string command = std::string("\"") + self + "\" --hold \"" + path + "\"";
        STARTUPINFOA startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childIn;
        startup.hStdOutput = childOut;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION process{};
        m_started = CreateProcessA(nullptr, command.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup,
                                   &process) != 0;
        CloseHandle(childIn);
        CloseHandle(childOut);
        if (!m_started) return;
        m_process = process.hProcess;
        CloseHandle(process.hThread);
        char reply[8] = {};
        DWORD got = 0;
        m_holding = ReadFile(m_fromChild, reply, 4, &got, nullptr) && std::strncmp(reply, "held", 4) == 0;
    }
    ~OtherProcessHolding() {
        CloseHandle(m_toChild);  // the other process lets go when its input ends
        if (m_process) {
            WaitForSingleObject(m_process, 10000);
            CloseHandle(m_process);
        }
        CloseHandle(m_fromChild);
    }
    bool Holding() const { return m_started && m_holding; }

private:
    HANDLE m_toChild = nullptr;
    HANDLE m_fromChild = nullptr;
    HANDLE m_process = nullptr;
    bool m_started = false;
    bool m_holding = false;
};

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

TEST(Win32Run, OutputHeldByAnotherProcessIsASharingViolationWithoutQuestion) {
    ScratchFolder folder;
    WriteBytes(folder / "in.bin", "abc");
    WriteBytes(folder / "out.c", "held");
    OtherProcessHolding other(folder / "out.c");
    ASSERT_TRUE(other.Holding());

    ScriptedMessageBoxes boxes;
    RecordingSink sink;
    ScopedMessageBoxHost host(boxes);
    EXPECT_EQ(CArrayWriter::Run({folder / "in.bin", folder / "out.c", DataType::Char}, sink, nullptr),
              RunOutcome::OutputNotOpened);
    ASSERT_EQ(boxes.Shown().size(), 1u) << "the probe fails, so nobody is asked";
    EXPECT_EQ(boxes.Shown()[0].text, kSharingViolation);
    EXPECT_EQ(ReadBytes(folder / "out.c"), "held");
}

TEST(Win32Run, OutputOnAMissingDriveIsABadName) {
    ScratchFolder folder;
    WriteBytes(folder / "in.bin", "abc");
    ScriptedMessageBoxes boxes;
    RecordingSink sink;
    ScopedMessageBoxHost host(boxes);
    // Wine maps no drive Q: in a fresh prefix.
    EXPECT_EQ(CArrayWriter::Run({folder / "in.bin", "Q:\\out\\x.c", DataType::Char}, sink, nullptr),
              RunOutcome::OutputNotOpened);
    ASSERT_EQ(boxes.Shown().size(), 1u);
    EXPECT_EQ(boxes.Shown()[0].text, kBadOutputName);
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
    ScriptedMessageBoxes boxes;
    RecordingSink sink;
    ScopedMessageBoxHost host(boxes);
    try {
        CArrayWriter::Run({folder / "in.bin", output, DataType::Char}, sink, nullptr);
        FAIL() << "a full disk went unreported";
    } catch (const FileError& error) {
        EXPECT_EQ(error.cause, FileErrorCause::DiskFull);
        EXPECT_EQ(error.path, output);
        EXPECT_EQ(ErrorReportText(error), output + kDiskFullReport);
    }
    EXPECT_TRUE(boxes.Shown().empty()) << "no completion message after a failure";
    EXPECT_EQ(sink.events.back() == "finished", false);
    DeleteFileA(output.c_str());
}

TEST(Win32Run, CrLfReachTheFileAndInputBytesStayAsTheyAre) {
    ScratchFolder folder;
    WriteBytes(folder / "in.bin", "\r\n\n");
    ScriptedMessageBoxes boxes;
    RecordingSink sink;
    ScopedMessageBoxHost host(boxes);
    ASSERT_EQ(CArrayWriter::Run({folder / "in.bin", folder / "out.c", DataType::Char}, sink, nullptr),
              RunOutcome::Written);
    std::string text = ReadBytes(folder / "out.c");
    EXPECT_NE(text.find("\t\t0x0D,0x0A,0x0A\r\n\t};\r\n"), std::string::npos);
    std::size_t bareLineFeeds = 0;
    for (std::size_t i = 0; i < text.size(); ++i) bareLineFeeds += text[i] == '\n' && (i == 0 || text[i - 1] != '\r');
    EXPECT_EQ(bareLineFeeds, 0u);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--hold") == 0) return HoldFile(argv[2]);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
