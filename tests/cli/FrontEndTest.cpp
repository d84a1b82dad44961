// The arrayforge program itself, run as a user or a script runs it.

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <cerrno>
#include <cstring>
#include <thread>
#include <tuple>

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/SystemText.h"
#include "base/Texts.h"
#include "base/Version.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;


namespace {

struct Result {
    int exitCode = -1;
    std::string out, err;
};

// How the front end is started in `folder`: standard input from
// `standardInput` (no terminal; by default a folder, which no read can get
// through, as only "-" may read it), the given locale and `environment` besides.
struct Launch {
    std::vector<std::string> arguments{};
    const char* locale = "ja_JP.UTF-8";
    std::vector<std::string> environment{};
    std::string standardInput = "/";
    std::string standardOutput{};     // a file it appends to; empty: captured
    std::string standardError{};      // a file or terminal; empty: captured
    std::vector<std::string> prefix{};  // a program that starts it: setpriv, sh -c
};

pid_t Start(const ScratchFolder& folder, Launch launch) {
    const std::string out = launch.standardOutput.empty() ? folder / ".stdout" : launch.standardOutput;
    const std::string err = launch.standardError.empty() ? folder / ".stderr" : launch.standardError;
    std::filesystem::remove(folder / ".stdout");
    std::vector<std::string> command = launch.prefix, environment = launch.environment;
    command.push_back(ARRAYFORGE_CLI);
    command.insert(command.end(), launch.arguments.begin(), launch.arguments.end());
    for (const char* variable : {"LANG=", "LC_ALL="}) environment.push_back(variable + std::string(launch.locale));
    environment.push_back("PATH=/usr/bin:/bin");
    std::vector<char*> argv, envp;
    for (auto& argument : command) argv.push_back(argument.data());
    for (auto& entry : environment) envp.push_back(entry.data());
    argv.push_back(nullptr);
    envp.push_back(nullptr);
    const pid_t child = fork();
    if (child == 0) {
        // Every signal at its default and none blocked, whatever this process
        // was given: a shell starts background jobs with some ignored.
        for (int signal = 1; signal < NSIG; ++signal) ::signal(signal, SIG_DFL);
        sigset_t none;
        sigemptyset(&none);
        sigprocmask(SIG_SETMASK, &none, nullptr);
        dup2(open(launch.standardInput.c_str(), O_RDONLY | O_CLOEXEC), 0);
        dup2(open(out.c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644), 1);
        dup2(open(err.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | (launch.standardError.empty() ? O_TRUNC : 0), 0644), 2);
        if (chdir(folder.Path().c_str()) == 0) execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    return child;
}

Result Finish(const ScratchFolder& folder, pid_t child) {
    Result result;
    int status = 0;
    waitpid(child, &status, 0);
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : WIFSIGNALED(status) ? 128 + WTERMSIG(status) : -1;
    result.out = ReadBytes(folder / ".stdout");
    result.err = ReadBytes(folder / ".stderr");
    return result;
}

Result RunFrontEnd(const ScratchFolder& folder, Launch launch) { return Finish(folder, Start(folder, std::move(launch))); }

// The files a test left in its folder besides the captured streams:
// temporary files of the front end would show here.
std::vector<std::string> FilesIn(const ScratchFolder& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder.Path())) {
        std::string name = entry.path().filename().string();
        if (name != ".stdout" && name != ".stderr") names.push_back(name);
    }
    std::sort(names.begin(), names.end());
    return names;
}

// Texts as a UTF-8 terminal shows them.
const std::string kExistsUtf8 = CodePage932ToUtf8ByTable(texts::kOverwriteQuestion)
                                    .substr(0, CodePage932ToUtf8ByTable(texts::kOverwriteQuestion).find('\n'));
const std::string kNotFoundUtf8 =
    CodePage932ToUtf8ByTable(texts::kErrorCaption) + ": " + CodePage932ToUtf8ByTable(texts::kInputNotFound);
const std::string kBadNameUtf8 =
    CodePage932ToUtf8ByTable(texts::kErrorCaption) + ": " + CodePage932ToUtf8ByTable(texts::kOutputBadPath);
const std::string kNameLabel = "\xC3\xDE\xB0\xC0\xCC\xA7\xB2\xD9\x96\xBC\x20\x20\x81\x46";  // the header's name line
const std::string kDiskFullUtf8 = CodePage932ToUtf8ByTable(texts::kFileErrors[13]).substr(2);  // after "%1"

// With standard input and error on a terminal the front end asks there
// before it overwrites, draws its progress from 8 MiB of input or from a
// table of 1,000 files, and says when the file is written; with standard
// error elsewhere it asks nobody.
TEST(FrontEnd, OnATerminalAsksAndDrawsProgressForLargeRuns) {
    const std::size_t kEight = std::size_t{8} << 20;
    // The input's size or a table's files, whether standard error is the terminal, whether a bar is drawn.
    for (auto [size, files, errorsShown, bar] :
         {std::tuple{kEight, 0, true, true}, {kEight - 1, 0, true, false}, {kEight, 0, false, false},
          {std::size_t{1}, 1000, true, true}, {std::size_t{1}, 999, true, false}}) {
        ScratchFolder folder;
        WriteBytes(folder / "in.bin", std::string(size, 'x'));
        WriteBytes(folder / "in.c", "old");
        std::filesystem::create_directory(folder.Path() / "files");
        for (int i = 0; i < files; ++i) WriteBytes(folder / ("files/" + std::to_string(i)), "x");
        const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_TRUE(terminal >= 0 && grantpt(terminal) == 0 && unlockpt(terminal) == 0);
        Launch launch{{"in.bin"}};
        if (files != 0) launch.arguments = {"--table", "t", "-o", "in.c", "files"};
        launch.standardInput = ptsname(terminal);
        if (errorsShown) launch.standardError = launch.standardInput;
        const pid_t child = Start(folder, launch);
        ASSERT_EQ(write(terminal, "y\n", 2), 2);
        std::string shown;
        char piece[4096];
        for (ssize_t got; (got = read(terminal, piece, sizeof piece)) > 0;) shown.append(piece, got);  // EIO at its end
        close(terminal);
        EXPECT_EQ(Finish(folder, child).exitCode, errorsShown ? 0 : 4) << shown;
        EXPECT_EQ(shown.find(kExistsUtf8) != std::string::npos, errorsShown) << shown;
        EXPECT_EQ(shown.find("100%") != std::string::npos, bar) << size << " " << files;
        EXPECT_EQ(shown.ends_with(CodePage932ToUtf8ByTable(texts::kFileWritten) + "\r\n"), errorsShown) << shown;
    }
}

TEST(FrontEnd, ExitCodesTellUsageInputAndOutputApart) {
    ScratchFolder folder;
    WriteBytes(folder / "in.bin", "abc");
    WriteBytes(folder / "old.bin", "abc");
    WriteBytes(folder / "old.c", "old");
    Launch limited{{"-o", "limited.c", "in.bin"}};  // past a file size limit writes fail, as on a full disk
    limited.prefix = {"/bin/sh", "-c", "ulimit -f 0 && exec \"$0\" \"$@\""};
    EXPECT_EQ(RunFrontEnd(folder, limited).exitCode, 4);
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
    const std::string device = FullDevice(folder);
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        // Arguments, exit code, what the front end says (on standard error, or output for 0).
        {{"-t", "double", "in.bin"}, 2, "Usage:"},
        {{"-f", "old.bin", "old.c"}, 2, "is the input old.c"},  // found once every output is planned
        {{"-o", "-", "pipe"}, 3, "pipe: not a regular file"},    // opening it would wait for a writer
        {{"nothing.bin"}, 3, kNotFoundUtf8 + ": nothing.bin"},
        {{"old.bin"}, 4, kExistsUtf8},                       // nobody to ask
        {{"-o", "no/such/dir/x.c", "in.bin"}, 4, kBadNameUtf8},
        {{"-f", "-o", device, "in.bin"}, 4, device + kDiskFullUtf8},
        {{"--format", "object", "-o", "/dev/null", "in.bin"}, 0, ""},  // no copy by the system into a device
        {{"--help"}, 0, "Usage:"},
        {{"--version"}, 0, ARRAYFORGE_VERSION_TEXT},
    };
    for (const auto& [arguments, exitCode, said] : cases) {
        Result result = RunFrontEnd(folder, {arguments});
        EXPECT_EQ(result.exitCode, exitCode) << said;
        EXPECT_NE((exitCode == 0 ? result.out : result.err).find(said), std::string::npos) << result.err;
    }
    EXPECT_EQ(ReadBytes(folder / "old.c"), "old");
    EXPECT_TRUE(std::filesystem::is_character_file(device)) << "a device is written, never replaced";
}

TEST(FrontEnd, HeaderNameIsShiftJisWhateverTheLocale) {
    ScratchFolder folder;
    // "データ、.bin" in UTF-8: read as code page 932, its 0x81 would swallow the dot.
    const std::string stem = "\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF\xE3\x80\x81";
    WriteBytes(folder / (stem + ".bin"), "x");
    for (const char* locale : {"ja_JP.UTF-8", "C"}) {
        ASSERT_EQ(RunFrontEnd(folder, {{"-f", stem + ".bin"}, locale}).exitCode, 0);
        EXPECT_NE(ReadBytes(folder / (stem + ".c")).find(kNameLabel + "\x83\x66\x81\x5B\x83\x5E\x81\x41.bin\r\n"),
                  std::string::npos) << locale;
    }
}

// However the front end is ended mid-run (a signal at its default, a
// CPU-time limit, a kill), it leaves the old output and nothing else:
// neither the output's temporary nor the copy of standard input. Without
// /proc the temporary must have a name, which the signal handlers remove.
// A signal its caller ignores (nohup) ends nothing.
TEST(FrontEnd, EndedMidRunItLeavesTheOldOutputAndNothingElse) {
    enum Source { kFile, kStandardInput, kFileWithoutProc, kFileUnderNohup };
    for (Source source : {kFile, kStandardInput, kFileWithoutProc, kFileUnderNohup}) {
        for (int signal : {SIGINT, SIGTERM, SIGHUP, SIGQUIT, SIGUSR1, SIGALRM, SIGKILL, SIGXCPU}) {
            if (source == kFileWithoutProc && (signal == SIGKILL || geteuid() != 0)) continue;
            if (source == kFileUnderNohup && signal != SIGHUP) continue;
            ScratchFolder folder;
            WriteBytes(folder / "in.bin", "");
            std::filesystem::resize_file(folder.Path() / "in.bin", 64u << 20);
            WriteBytes(folder / "in.c", "old");
            Launch launch{{"-f", "-o", "in.c", source == kStandardInput ? "-" : "in.bin"}};
            launch.environment = {"TMPDIR=" + folder.Path().string()};
            if (source == kStandardInput) launch.standardInput = folder / "in.bin";
            if (source == kFileWithoutProc) {  // two named temporaries: the output's and its header's
                launch.arguments.insert(launch.arguments.begin(), {"--header", "in.h"});
                launch.prefix = {"/usr/bin/unshare", "--mount", "--propagation", "private", "/bin/sh", "-c",
                                 "mount -t tmpfs none /proc && exec \"$0\" \"$@\""};
            }
            if (source == kFileUnderNohup) launch.prefix = {"/usr/bin/nohup"};
            const pid_t child = Start(folder, launch);
            const auto underWay = [&] {
                return source == kFileWithoutProc ? FilesIn(folder).size() == 4
                                                  : !UnnamedFilesOpenIn(child, folder.Path()).empty();
            };
            for (int wait = 0; wait < 2000 && !underWay(); ++wait) usleep(1000);
            ASSERT_TRUE(underWay()) << "no temporary seen " << source;
            const rlimit spent{0, RLIM_INFINITY};  // less than it has used already
            if (signal == SIGXCPU) prlimit(child, RLIMIT_CPU, &spent, nullptr);
            else kill(child, signal);
            const bool ignored = source == kFileUnderNohup;
            EXPECT_EQ(Finish(folder, child).exitCode, ignored ? 0 : 128 + signal);
            EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"in.bin", "in.c"})) << source << " " << signal;
            EXPECT_EQ(std::filesystem::file_size(folder.Path() / "in.c") == 3, !ignored) << "the old output";
        }
    }
}

// A standard stream that cannot serve is refused with a message instead of
// taking nothing or writing into nothing as if that had worked: closed when
// the program started, or the very input being read.
TEST(FrontEnd, AStreamThatCannotServeIsNotUsed) {
    ScratchFolder folder;
    WriteBytes(folder / "in.bin", "abc");
    const std::string noHandle =
        CodePage932ToUtf8ByTable(texts::kUntitledFile) + CodePage932ToUtf8ByTable(texts::kFileErrors[6]).substr(2);
    for (auto [redirection, arguments, exitCode, said] :
         {std::tuple{">&-", "-o - in.bin", 4, noHandle}, {"<&-", "-", 3, std::string(std::strerror(EBADF))},
          {">>in.bin", "-o - in.bin", 4, std::string("in.bin")}}) {
        const Result result = RunFrontEnd(folder, {.arguments = {}, .prefix = {"/bin/sh", "-c", std::string("exec \"$0\" ") + arguments + " " + redirection}});
        EXPECT_EQ(result.exitCode, exitCode) << redirection;
        EXPECT_NE(result.err.find(said), std::string::npos) << result.err;
    }
    EXPECT_EQ(ReadBytes(folder / "in.bin"), "abc");
}

// Outputs that are not replaced but written: a pipe (with -f, not even
// looked at first; an object's data pass through the program, as the system
// copies into no pipe), and a standard stream named by its path, appended
// to as the caller appends to it and not asked about.
TEST(FrontEnd, PipesAndNamedStreamsAreWrittenNotReplaced) {
    ScratchFolder folder;
    WriteBytes(folder / "in.bin", "abc");
    ASSERT_EQ(mkfifo((folder / "out.o").c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadBytes(folder / "out.o"); });
    EXPECT_EQ(RunFrontEnd(folder, {{"-f", "--format", "object", "-o", "out.o", "in.bin"}}).exitCode, 0);
    reader.join();
    EXPECT_NE(received.find("abc"), std::string::npos);
    WriteBytes(folder / "log.c", "earlier\n");
    for (const char* named : {"/dev/stdout", "/proc/self/fd/1"}) {
        Launch appending{{"-o", named, "in.bin"}};
        appending.standardOutput = folder / "log.c";
        EXPECT_EQ(RunFrontEnd(folder, appending).exitCode, 0) << named;
    }
    EXPECT_TRUE(ReadBytes(folder / "log.c").starts_with("earlier\n/*")) << ReadBytes(folder / "log.c");
    EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"in.bin", "log.c", "out.o"}));
}

// Another user's run: a file they may not write is asked about (and so,
// with nobody to ask, kept); one they may write is rewritten in place where
// a rename would fail or lose its owner: in a folder they may not write, in
// a sticky shared folder, or where its group is not theirs to give.
TEST(FrontEnd, AnotherUserRewritesOnlyWhatTheyMayWrite) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    using std::filesystem::perms;
    const uid_t kNobody = 65534;
    // The folder's permissions and owner, the file's permissions and group, the exit code.
    for (auto [folderMode, folderOwner, fileMode, fileGroup, exitCode] :
         {std::tuple{perms(0777), 0u, perms(0222), 0u, 4}, {perms(0755), 0u, perms(0666), 0u, 0},
          {perms(01777), 0u, perms(0666), 0u, 0}, {perms(0755), kNobody, perms(0664), 0u, 0}}) {
        ScratchFolder folder;
        std::filesystem::permissions(folder.Path(), perms(0755));
        WriteBytes(folder / "in.bin", "abc");
        std::filesystem::create_directory(folder.Path() / "shared");
        const std::string output = folder / "shared/out.c";
        WriteBytes(output, "keep");
        ASSERT_EQ(chown(output.c_str(), folderOwner, fileGroup) | chown((folder / "shared").c_str(), folderOwner, 0), 0);
        std::filesystem::permissions(output, fileMode);
        std::filesystem::permissions(folder.Path() / "shared", folderMode);
        Launch asNobody{{exitCode == 0 ? "-f" : "-q", "-o", "shared/out.c", "in.bin"}};
        asNobody.prefix = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
        const Result result = RunFrontEnd(folder, asNobody);
        EXPECT_EQ(result.exitCode, exitCode) << result.err;
        EXPECT_EQ(ReadBytes(output).find("0x61,0x62,0x63") != std::string::npos, exitCode == 0) << folderOwner;
        EXPECT_EQ(std::filesystem::status(output).permissions(), fileMode);
        struct stat owner {};
        EXPECT_TRUE(stat(output.c_str(), &owner) == 0 && owner.st_uid == folderOwner && owner.st_gid == fileGroup)
            << "owner kept " << folderOwner;
    }
}

// The options for build systems, on files whose header time is fixed, so
// that whole files compare: hand-checked expected files.
TEST(FrontEnd, BuildOptionsWriteTheirExpectedFiles) {
    ScratchFolder folder;
    WriteBytes(folder / "blob.bin", "\x01\x02\x80");
    std::string text;  // 72 bytes: a whole line of string pieces and a part
    for (int i = 0; i < 9; ++i) text += std::string("a ?\"\\\0\x7F" "9", 8);
    WriteBytes(folder / "text.txt", text);
    WriteBytes(folder / "long.txt", std::string(4096, 'a'));  // one past what every C compiler takes quietly
    WriteBytes(folder / "empty.dat", "");
    WriteBytes(folder / "w.bin", "\x01\x02\x03");
    std::filesystem::create_directory(folder.Path() / "out");
    std::filesystem::create_directories(folder.Path() / "web/sub");
    WriteBytes(folder / "web/index.html", "<p>\xC3\xA9</p>\n");
    WriteBytes(folder / "web/sub/q\"\\\n\xC3\xA9", "");
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::pair<const char*, const char*>> outputs;  // written, expected
    };
    const Case cases[] = {
        {{"-t", "u8", "--const", "--length", "--nul", "-n", "blob", "--header", "blob.h", "blob.bin"},
         {{"blob.c", "portable_u8.c"}, {"blob.h", "portable_u8_h.txt"}}},
        {{"-t", "uchar", "--format=string", "--eol", "lf", "--align", "8", "text.txt"}, {{"text.c", "portable_string_lf.c"}}},
        {{"--format=string", "-o", "empty.c", "empty.dat"}, {{"empty.c", "portable_string_empty.c"}}},
        {{"--format=string", "-o", "long.c", "long.txt"}, {{"long.c", "portable_string_4096.c"}}},
        {{"--format", "embed", "--static", "--utf8", "--nul", "--section", ".rodata.e", "-o", "out/embed.c", "blob.bin"},  // #embed "../blob.bin"
         {{"out/embed.c", "portable_embed_utf8.c"}}},
        {{"--format=embed", "-o", "none.c", "empty.dat"}, {{"none.c", "portable_embed_empty.c"}}},  // a list
        {{"-t", "u16", "--length", "--align", "16", "--section", ".rodata.blob", "--format", "object", "--target",
          "elf32-i386", "--header", "blob_o.h", "-o", "blob.o", "blob.bin"},
         {{"blob.o", "portable_object.o"}, {"blob_o.h", "portable_object_h.txt"}}},
        {{"--format", "asm", "--target", "pe-x86-64", "--length", "-o", "blob.s", "blob.bin"}, {{"blob.s", "portable_asm.s"}}},
        {{"-t", "u32", "--nul", "--format", "object", "--target", "mach-o-arm64", "-o", "pad.o", "blob.bin"},
         {{"pad.o", "portable_object_pad.o"}}},  // the last element padded, then the zero, with nothing after them
        {{"-t", "u16", "--length", "--header", "two.h", "--eol", "lf", "-o", "two.c", "w.bin", "empty.dat"},
         {{"two.c", "portable_two_u16.c"}, {"two.h", "portable_two_u16_h.txt"}}},
        {{"--table", "site", "--base", "web", "--format=string", "--eol", "lf", "--utf8", "--header", "site.h", "web"},
         {{"site.c", "table_string.c"}, {"site.h", "table_h.txt"}}},
        {{"--table", "t", "-o", "list.c", "w.bin", "empty.dat"}, {{"list.c", "table_list.c"}}},
    };
    for (const Case& c : cases) {
        Result result = RunFrontEnd(folder, {c.arguments, "ja_JP.UTF-8", {"SOURCE_DATE_EPOCH=1700000000"}});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        EXPECT_EQ(result.err, "") << "a log that is no terminal carries only failures";
        for (auto [written, expected] : c.outputs)
            EXPECT_EQ(ReadBytes(folder / written), GoldenFile(expected)) << written;
    }
}

TEST(FrontEnd, StandardInputIsCopiedSoItsSizeIsExact) {
    ScratchFolder folder;
    WriteBytes(folder / "piped", "a");
    Result result = RunFrontEnd(folder, {{"-t", "uchar", "-"}, "C", {"TMPDIR=" + folder.Path().string()}, folder / "piped"});
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"piped"}) << "the copy is gone";
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find(kNameLabel + "stdin\r\n"), std::string::npos);
    EXPECT_NE(result.out.find("\x81\x46" "1\xCA\xDE\xB2\xC4\r\n"), std::string::npos) << "size line";
    EXPECT_NE(result.out.find("\t\t0x61\r\n"), std::string::npos);
    if (const char* small = std::getenv("ARRAYFORGE_SMALL_DIR")) {  // no room for the copy
        std::ofstream(std::string(small) + "filler", std::ios::binary) << Pattern(200000);
        Result full = RunFrontEnd(folder, {{"-"}, "C", {"TMPDIR=" + std::string(small)}, folder / "piped"});
        std::filesystem::remove(std::string(small) + "filler");
        EXPECT_EQ(full.exitCode, 3);
        EXPECT_NE(full.err.find("cannot copy standard input"), std::string::npos) << full.err;
    }
}

}  // namespace
