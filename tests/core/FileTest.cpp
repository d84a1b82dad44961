// The file layer on the real file system of the platform under test.

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sched.h>
#include <sys/mount.h>
#include <sys/wait.h>
#include <sys/stat.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstring>
#include <map>
#endif

#include "base/File.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

void Replace(const std::string& path, std::string_view text) {
    CFile out;
    ASSERT_FALSE(out.Open(path, OpenMode::Output, true));
    out.WriteString(text);
    out.Close();
}

#ifndef _WIN32
// Every extended attribute of a file (on Linux its ACL is one), by name.
std::map<std::string, std::string> Attributes(const std::string& path) {
    std::map<std::string, std::string> found;
    char names[4096];
    const ssize_t size = ::listxattr(path.c_str(), names, sizeof names);
    for (ssize_t at = 0; at < size; at += std::strlen(names + at) + 1) {
        char value[4096];
        const ssize_t length = ::getxattr(path.c_str(), names + at, value, sizeof value);
        found[names + at] = std::string(value, std::max<ssize_t>(length, 0));
    }
    return found;
}
#endif

FileErrorCause OpenCause(const std::string& path, OpenMode mode) {
    CFile file;
    auto error = file.Open(path, mode, true);
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
    CFile tail;  // a byte past a full buffer, alone in the last block
    ASSERT_FALSE(tail.Open(folder / "tail", OpenMode::Output));
    tail.UseLfLineEnds();
    tail.WriteString(std::string((1 << 20) + 1, 'x'));
    tail.Close();
    EXPECT_EQ(std::filesystem::file_size(folder.Path() / "tail"), (1u << 20) + 1);
}

// The output changes only at Close, and then whole: given up before, the
// file it was to replace stays as it was, a file that appeared meanwhile is
// not replaced without leave, and no temporary file is left.
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
    CFile late;
    ASSERT_FALSE(late.Open(folder / "late.txt", OpenMode::Output));
    late.WriteString("mine");
    WriteBytes(folder / "late.txt", "theirs");
    EXPECT_THROW(late.Close(), FileError);
    EXPECT_EQ(ReadBytes(folder / "late.txt"), "theirs");
    CFile out;
    ASSERT_FALSE(out.Open(folder / "t.txt", OpenMode::Output, true));
    out.WriteString("new\n");
#ifndef _WIN32  // (Windows lets nobody read it meanwhile)
    EXPECT_EQ(ReadBytes(folder / "t.txt"), "old") << "not before Close";
    struct stat old {}, now{};
    ::stat((folder / "t.txt").c_str(), &old);
#endif
    out.Close();
    EXPECT_EQ(ReadBytes(folder / "t.txt"), "new\r\n");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 2) << "no temporary file left";
#ifndef _WIN32
    EXPECT_EQ(std::filesystem::status(folder.Path() / "t.txt").permissions(), std::filesystem::perms(0640));
    EXPECT_TRUE(::stat((folder / "t.txt").c_str(), &now) == 0 && now.st_ino != old.st_ino) << "a plain file is renamed over";
    CFile created;  // a new one gets what any new file gets
    ASSERT_FALSE(created.Open(folder / "new.txt", OpenMode::Output));
    created.Close();
    const mode_t mask = ::umask(0);
    ::umask(mask);
    EXPECT_EQ(std::filesystem::status(folder.Path() / "new.txt").permissions(), std::filesystem::perms(0666 & ~mask));
#endif
}

// What a rename would lose is kept: the other names of a file with several.
TEST(FileOutput, AllNamesOfAFileGetTheNewText) {
    ScratchFolder folder;
    WriteBytes(folder / "a.c", "older, longer");
    std::filesystem::create_hard_link(folder.Path() / "a.c", folder.Path() / "b.c");
    for (const char* text : {"new", "news"}) {  // shorter, then one byte longer
        Replace(folder / "a.c", text);
        EXPECT_EQ(ReadBytes(folder / "b.c"), text);
    }
}

#ifndef _WIN32
// ...and, replaced by root, its owner, mode, extended attributes and ACL,
// all carried over to a new file that takes its place whole.
TEST(FileOutput, RootKeepsTheOwnerModeAndAttributes) {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to give the file to another user";
    ScratchFolder folder;
    // A file without an ACL where a new file would get one from the folder's
    // default; then one with an ACL of its own there.
    for (const bool acl : {false, true}) {
        const std::string path = folder / (acl ? "acl.c" : "plain.c");
        WriteBytes(path, "old");
        ASSERT_EQ(::chown(path.c_str(), 65534, 65534) | ::chmod(path.c_str(), 02640), 0);
        const std::string origin(100, 'k');
        ASSERT_EQ(::setxattr(path.c_str(), "user.origin", origin.data(), origin.size(), 0) |
                      ::setxattr(path.c_str(), "user.empty", "", 0, 0), 0) << "no user attributes";
        const std::string setfacl = acl ? "setfacl -m u:65534:rw,g:0:r '" + path : "setfacl -d -m u:65534:r '" + folder / "";
        ASSERT_EQ(std::system((setfacl + "'").c_str()), 0);
        const auto before = Attributes(path);
        struct stat was {}, after {};
        ::stat(path.c_str(), &was);
        Replace(path, "new");
        ASSERT_EQ(::stat(path.c_str(), &after), 0);
        EXPECT_TRUE(after.st_uid == 65534 && after.st_gid == 65534 && after.st_mode == was.st_mode) << after.st_mode;
        EXPECT_NE(after.st_ino, was.st_ino) << "rewritten in place, not replaced";
        EXPECT_EQ(Attributes(path), before);
        EXPECT_EQ(before.size(), acl ? 3u : 2u) << "the attributes and the ACL";
    }
}

// The output is looked up by the kernel, never by following links here: its
// guard against links planted in shared sticky folders applies.
TEST(FileOutput, TheKernelsLinkGuardApplies) {
    ScratchFolder folder;
    WriteBytes(folder / "mine.c", "mine");
    const char* guard = "/proc/sys/fs/protected_symlinks";
    const std::string was = ReadBytes(guard);
    if (::geteuid() != 0 || std::system(("echo 1 > " + std::string(guard)).c_str()) != 0)
        GTEST_SKIP() << "cannot switch the kernel's guard on here";
    std::filesystem::create_directory(folder.Path() / "shared");
    std::filesystem::permissions(folder.Path() / "shared", std::filesystem::perms(01777));
    std::filesystem::create_symlink("../mine.c", folder.Path() / "shared/planted.c");
    ASSERT_EQ(::lchown((folder / "shared/planted.c").c_str(), 65534, 65534), 0);
    CFile out;
    auto refused = out.Open(folder / "shared/planted.c", OpenMode::Output, true);
    WriteBytes(guard, was);
    EXPECT_TRUE(refused && refused->cause == FileErrorCause::AccessDenied) << "followed a link planted by another";
}

// The output is looked up once, at Open: a link pointed elsewhere before
// Close changes nothing, though root writes in another user's folder.
TEST(FileOutput, ALinkSwappedBeforeCloseChangesNothing) {
    ScratchFolder folder;
    WriteBytes(folder / "secret.c", "secret");
    std::filesystem::create_directory(folder.Path() / "race");
    WriteBytes(folder / "race/mine.c", "mine");
    std::filesystem::create_symlink("mine.c", folder.Path() / "race/out.c");
    ASSERT_TRUE(::geteuid() != 0 || ::chown((folder / "race").c_str(), 65534, 65534) == 0);
    CFile out;
    ASSERT_FALSE(out.Open(folder / "race/out.c", OpenMode::Output, true));
    out.WriteString("new");
    std::filesystem::remove(folder.Path() / "race/out.c");
    std::filesystem::create_symlink("../secret.c", folder.Path() / "race/out.c");
    out.Close();
    EXPECT_EQ(ReadBytes(folder / "secret.c"), "secret");
    EXPECT_EQ(ReadBytes(folder / "race/mine.c"), "new");
}

// Without /proc an unnamed temporary cannot be given a name: the output is
// written under a name of its own, with the same rules.
TEST(FileOutput, WithoutProcTheTemporaryHasAName) {
    ScratchFolder folder;
    WriteBytes(folder / "old.c", "old");
    const pid_t child = ::fork();
    if (child == 0) {
        if (::unshare(CLONE_NEWNS) != 0 || ::mount("none", "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0 ||
            ::mount("none", "/proc", "tmpfs", 0, nullptr) != 0)
            ::_exit(2);
        CFile appearing;
        bool ok = !appearing.Open(folder / "appears.c", OpenMode::Output);
        appearing.WriteString("mine");
        WriteBytes(folder / "appears.c", "theirs");
        try {
            appearing.Close();
            ok = false;
        } catch (const FileError&) {
        }
        Replace(folder / "old.c", "new");
        Replace(folder / "made.c", "made");
        ::_exit(ok ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    if (WIFEXITED(status) && WEXITSTATUS(status) == 2) GTEST_SKIP() << "cannot hide /proc here";
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(ReadBytes(folder / "old.c") + ReadBytes(folder / "made.c") + ReadBytes(folder / "appears.c"),
              "newmadetheirs");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder.Path()), {}), 3) << "no temporary left";
}

// A file mounted over another (a container's one-file volume) cannot be
// renamed over: it is rewritten in place.
TEST(FileOutput, ABindMountedFileIsRewrittenInPlace) {
    ScratchFolder folder;
    WriteBytes(folder / "source.c", "old");
    WriteBytes(folder / "volume.c", "");
    if (::mount((folder / "source.c").c_str(), (folder / "volume.c").c_str(), nullptr, MS_BIND, nullptr) != 0)
        GTEST_SKIP() << "cannot mount here: " << std::strerror(errno);
    Replace(folder / "volume.c", "new");
    ::umount((folder / "volume.c").c_str());
    EXPECT_EQ(ReadBytes(folder / "source.c"), "new");
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
}

#endif

TEST(FileInput, LengthBeyondFourGibibytesAndACreationTimeAlways) {
    ScratchFolder folder;
    WriteBytes(folder / "huge", "");
    std::filesystem::resize_file(folder.Path() / "huge", 5ull << 30);  // sparse where possible
    CFile in;
    ASSERT_FALSE(in.Open(folder / "huge", OpenMode::Input));
    EXPECT_EQ(in.Length(), 5ull << 30);
#ifndef _WIN32
    // A file system that keeps no birth time: the last write stands in.
    ASSERT_FALSE(in.Open("/proc/self/stat", OpenMode::Input));
    EXPECT_EQ(in.Status().creationTime, in.Status().lastWriteTime);
#endif
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
