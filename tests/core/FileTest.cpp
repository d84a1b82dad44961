// The file layer on the real file system of the platform under test.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>

#include <thread>
#endif

#include "app/File.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

FileErrorCause OpenCause(const std::string& path, OpenMode mode) {
    CFile file;
    auto error = file.Open(path, mode);
    if (!error) return FileErrorCause::None;
    EXPECT_EQ(error->path, path) << "a failed open names the path it was given";
    return error->cause;
}

// Every line feed becomes CR LF, whatever comes before it (a CR, a lead
// byte), and nothing else changes, across buffers.
TEST(FileOutput, LargeWritesArriveWhole) {
    ScratchFolder folder;
    std::string big = Pattern(3 * 1024 * 1024 + 7);
    std::string expected;
    for (char c : big) expected += c == '\n' ? std::string("\r\n") : std::string(1, c);
    CFile out;
    ASSERT_FALSE(out.Open(folder / "big", OpenMode::Output));
    out.WriteString(big.substr(0, 1000));
    out.WriteString(big.substr(1000));
    out.Close();
    EXPECT_TRUE(ReadBytes(folder / "big") == expected);
}

// The output changes only at Close, and then whole: given up before, the
// file it was to replace stays as it was and no temporary file is left.
TEST(FileOutput, ReplacesTheOldFileOnlyAtClose) {
    ScratchFolder folder;
    WriteBytes(folder / "t.txt", "old");
    std::filesystem::permissions(folder.Path() / "t.txt", std::filesystem::perms(0640));
    {
        CFile out;
        ASSERT_FALSE(out.Open(folder / "t.txt", OpenMode::Output, true));
        out.WriteString("given up\n");
    }
    EXPECT_EQ(ReadBytes(folder / "t.txt"), "old");
    CFile out;
    ASSERT_FALSE(out.Open(folder / "t.txt", OpenMode::Output, true));
    out.WriteString("new\n");
#ifndef _WIN32  // (Windows lets nobody read it meanwhile)
    EXPECT_EQ(ReadBytes(folder / "t.txt"), "old") << "not before Close";
#endif
    out.Close();
    EXPECT_EQ(ReadBytes(folder / "t.txt"), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1) << "no temporary file left";
#ifndef _WIN32
    EXPECT_EQ(std::filesystem::status(folder.Path() / "t.txt").permissions(), std::filesystem::perms(0640));
    CFile created;  // a new one gets what any new file gets
    ASSERT_FALSE(created.Open(folder / "new.txt", OpenMode::Output));
    created.Close();
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(std::filesystem::status(folder.Path() / "new.txt").permissions(), std::filesystem::perms(0666 & ~mask));
#endif
}

TEST(FileOutput, AFileThatAppearsMeanwhileIsNotReplacedWithoutLeave) {
    ScratchFolder folder;
    CFile out;
    ASSERT_FALSE(out.Open(folder / "t.txt", OpenMode::Output));
    out.WriteString("mine");
    WriteBytes(folder / "t.txt", "theirs");
    EXPECT_THROW(out.Close(), FileError);
    EXPECT_EQ(ReadBytes(folder / "t.txt"), "theirs");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1) << "no temporary file left";
}

#ifndef _WIN32
TEST(FileOutput, ALinkStaysALink) {
    ScratchFolder folder;
    WriteBytes(folder / "real.c", "old");
    std::filesystem::create_symlink(folder.Path() / "real.c", folder.Path() / "link.c");
    CFile out;
    ASSERT_FALSE(out.Open(folder / "link.c", OpenMode::Output, true));
    out.WriteString("n");  // one byte: a write can be that short
    out.Close();
    EXPECT_TRUE(std::filesystem::is_symlink(folder.Path() / "link.c"));
    EXPECT_EQ(ReadBytes(folder / "real.c"), "n");
}

// Interrupted, the program removes the temporary files of the outputs still
// open, however many came and went before them. (On Windows a file open
// elsewhere goes only when the process ends.)
TEST(FileOutput, TemporariesOfOpenOutputsAreRemovedAtOnce) {
    ScratchFolder folder;
    for (int i = 0; i < 16; ++i) {  // twice as many as there are places, one at a time
        CFile done;
        ASSERT_FALSE(done.Open(folder / "done", OpenMode::Output, true));
        if (i % 2 == 0) done.Close();  // the others are given up
    }
    CFile a, b, c;
    ASSERT_FALSE(a.Open(folder / "a", OpenMode::Output));
    ASSERT_FALSE(b.Open(folder / "b", OpenMode::Output));
    ASSERT_FALSE(c.Open(folder / "c", OpenMode::Output));
    b.Close();
    native_file::RemoveTemporaryFilesNow();
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2) << "only done and b";
}

TEST(FileOutput, FailedWritesOfTheWriterReachTheCaller) {
    // A full device takes the open and refuses every write: with several
    // blocks queued the failure must still reach the caller.
    ScratchFolder folder;
    CFile out;
    ASSERT_FALSE(out.Open(FullDevice(folder), OpenMode::Output));
    const std::string block(1024 * 1024, 'x');  // one block of the writer
    EXPECT_THROW(
        {
            for (int i = 0; i < 8; ++i) out.WriteString(block);
            out.Close();
        },
        FileError);
    // A size limit lets the first block through and stops the last, which
    // the writer has when Close begins to wait.
    rlimit unlimited{}, limit{};
    ::getrlimit(RLIMIT_FSIZE, &unlimited);
    limit = {block.size(), unlimited.rlim_max};
    CFile limited;
    ASSERT_FALSE(limited.Open(folder / "limited", OpenMode::Output));
    std::signal(SIGXFSZ, SIG_IGN);  // for the rest of the tests: the limit fails writes, it ends nothing
    ::setrlimit(RLIMIT_FSIZE, &limit);
    limited.WriteString(block + "tail");
    EXPECT_THROW(limited.Close(), FileError);
    ::setrlimit(RLIMIT_FSIZE, &unlimited);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 1) << "the device alone: no output, no temporary";
}

// A pipe gives only what it holds so far: Read goes on until it has `count`.
TEST(FileInput, ReadsOnPastShortReads) {
    int ends[2];
    ASSERT_EQ(::pipe(ends), 0);
    CFile in;
    ASSERT_FALSE(in.Open("/dev/fd/" + std::to_string(ends[0]), OpenMode::Input));
    ::close(ends[0]);
    ASSERT_EQ(::write(ends[1], "ab", 2), 2);
    std::thread later([&] {
        ::usleep(20000);
        EXPECT_EQ(::write(ends[1], "cdefgh", 6), 6);
        ::close(ends[1]);
    });
    char got[16] = {};
    EXPECT_EQ(in.Read(got, 4), 4u);
    later.join();
    EXPECT_STREQ(got, "abcd");
    // A file system that keeps no birth time: the last write stands in.
    ASSERT_FALSE(in.Open("/proc/self/stat", OpenMode::Input));
    EXPECT_EQ(in.Status().creationTime, in.Status().lastWriteTime);
    EXPECT_EQ(native_file::FullPath("a/b"), std::filesystem::current_path().string() + "/a/b");
    ASSERT_FALSE(in.OpenStandardOutput());
    in.Close();  // nothing written, and the stream stays open
    EXPECT_EQ(::write(1, "", 0), 0);
}
#endif

TEST(FileInput, LengthBeyondFourGibibytes) {
    ScratchFolder folder;
    WriteBytes(folder / "huge", "");
    std::filesystem::resize_file(folder.Path() / "huge", 5ull << 30);  // sparse where possible
    CFile in;
    ASSERT_FALSE(in.Open(folder / "huge", OpenMode::Input));
    EXPECT_EQ(in.Length(), 5ull << 30);
}

// Readers may share with readers, but no one may write meanwhile, and a
// writer shuts everyone out: refused before anything is written.
TEST(FileOpen, SharingIsRefusedBeforeAnythingIsWritten) {
    ScratchFolder folder;
    WriteBytes(folder / "f", "x");
    CFile reader;
    ASSERT_FALSE(reader.Open(folder / "f", OpenMode::Input));
    EXPECT_EQ(OpenCause(folder / "f", OpenMode::Input), FileErrorCause::None);
    EXPECT_EQ(OpenCause("/arrayforge-missing", OpenMode::Input), FileErrorCause::FileNotFound) << "its folder, /, exists";
    EXPECT_EQ(OpenCause(folder / "f", OpenMode::Output), FileErrorCause::SharingViolation);
    reader.Close();
    {
        CFile writer;
        ASSERT_FALSE(writer.Open(folder / "f", OpenMode::Output, true));
        EXPECT_EQ(OpenCause(folder / "f", OpenMode::Input), FileErrorCause::SharingViolation);
        EXPECT_EQ(OpenCause(folder / "f", OpenMode::Output), FileErrorCause::SharingViolation);
    }
}

}  // namespace
