// The arrayforge program itself, run as a user or a script runs it.

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include "app/Texts.h"
#include "app/Version.h"
#include "cli/Console.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

extern char** environ;

namespace {

struct Result {
    int exitCode = -1;
    std::string out, err;
};

// How the front end is started in `folder`: standard input from
// `standardInput` (no terminal; by default a folder, which no read can get
// through, as only "-" may read it), the given locale and `environment` besides.
struct Launch {
    std::vector<std::string> arguments;
    const char* locale = "ja_JP.UTF-8";
    std::vector<std::string> environment{};
    std::string standardInput = "/";
    std::string standardOutput{};     // a file it appends to; empty: captured
    std::string standardError{};      // a file or terminal; empty: captured
    std::vector<std::string> prefix{};  // a program that starts it: setpriv, sh -c
};

pid_t Start(const ScratchFolder& folder, Launch launch) {
    const std::string outPath = launch.standardOutput.empty() ? folder / ".stdout" : launch.standardOutput;
    const std::string errPath = launch.standardError.empty() ? folder / ".stderr" : launch.standardError;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, launch.standardInput.c_str(), O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, outPath.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errPath.c_str(),
                                     O_WRONLY | O_CREAT | (launch.standardError.empty() ? O_TRUNC : 0), 0644);
    posix_spawn_file_actions_addchdir_np(&actions, folder.Path().c_str());
    std::filesystem::remove(folder / ".stdout");

    std::vector<std::string> environment = launch.environment;
    environment.insert(environment.end(), {std::string("LANG=") + launch.locale,
                                           std::string("LC_ALL=") + launch.locale, "PATH=/usr/bin:/bin"});
    std::vector<char*> envp;
    for (auto& entry : environment) envp.push_back(entry.data());
    envp.push_back(nullptr);
    std::vector<std::string> command = launch.prefix;
    command.push_back(ARRAYFORGE_CLI);
    command.insert(command.end(), launch.arguments.begin(), launch.arguments.end());
    std::vector<char*> argv;
    for (auto& argument : command) argv.push_back(argument.data());
    argv.push_back(nullptr);

    pid_t child = 0;
    EXPECT_EQ(posix_spawn(&child, argv[0], &actions, nullptr, argv.data(), envp.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
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

Result RunFrontEnd(const ScratchFolder& folder, std::vector<std::string> arguments,
                   const char* locale = "ja_JP.UTF-8", std::vector<std::string> environment = {},
                   std::string standardInput = "/") {
    return Finish(folder, Start(folder, {std::move(arguments), locale, std::move(environment), std::move(standardInput)}));
}

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
const std::string kExistsUtf8 = Utf8Of(texts::kOverwriteQuestion).substr(0, Utf8Of(texts::kOverwriteQuestion).find('\n'));
const std::string kNotFoundUtf8 = Utf8Of(texts::kErrorCaption) + ": " + Utf8Of(texts::kInputNotFound);
const std::string kBadNameUtf8 = Utf8Of(texts::kErrorCaption) + ": " + Utf8Of(texts::kOutputBadPath);
const std::string kNameLabel = "\xC3\xDE\xB0\xC0\xCC\xA7\xB2\xD9\x96\xBC\x20\x20\x81\x46";  // the header's name line
const std::string kDiskFullUtf8 = Utf8Of(texts::kFileErrors[13]).substr(2);  // after "%1"

// With standard input and error on a terminal the front end asks there
// before it overwrites, and draws its progress there from 8 MiB of input;
// with standard error elsewhere it asks nothing and replaces nothing.
TEST(FrontEnd, OnATerminalAsksAndDrawsProgressFromEightMebibytes) {
    const std::size_t kEight = std::size_t{8} << 20;
    for (auto [size, errorsShown] : {std::pair{kEight, true}, {kEight - 1, true}, {kEight, false}}) {
        ScratchFolder folder;
        WriteBytes(folder / "in.bin", std::string(size, 'x'));
        WriteBytes(folder / "in.c", "old");
        const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_TRUE(terminal >= 0 && grantpt(terminal) == 0 && unlockpt(terminal) == 0);
        Launch launch{{"in.bin"}};
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
        EXPECT_EQ(shown.find("100%") != std::string::npos, errorsShown && size == kEight) << size;
        EXPECT_EQ(ReadBytes(folder / "in.c").size() > size, errorsShown);
    }
}

TEST(FrontEnd, ExitCodesTellUsageInputAndOutputApart) {
    ScratchFolder folder;
    WriteBytes(folder / "in.bin", "abc");
    Launch limited{{"-o", "limited.c", "in.bin"}};  // past a file size limit writes fail, as on a full disk
    limited.prefix = {"/bin/sh", "-c", "ulimit -f 0 && exec \"$0\" \"$@\""};
    EXPECT_EQ(Finish(folder, Start(folder, limited)).exitCode, 4);
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"in.bin"}) << "no output, no temporary";

    const std::string device = FullDevice(folder);
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        // Arguments, exit code, what the front end says (on standard error, or output for 0).
        {{"-t", "double", "in.bin"}, 2, "Usage:"},
        {{"nothing.bin"}, 3, kNotFoundUtf8 + ": nothing.bin"},
        {{"-o", "no/such/dir/x.c", "in.bin"}, 4, kBadNameUtf8},
        {{"-f", "-o", device, "in.bin"}, 4, device + kDiskFullUtf8},
        {{"--help"}, 0, "Usage:"},
        {{"--version"}, 0, ARRAYFORGE_VERSION_TEXT},
    };
    for (const auto& [arguments, exitCode, said] : cases) {
        Result result = RunFrontEnd(folder, arguments);
        EXPECT_EQ(result.exitCode, exitCode) << said;
        EXPECT_NE((exitCode == 0 ? result.out : result.err).find(said), std::string::npos) << result.err;
    }
    EXPECT_TRUE(std::filesystem::is_character_file(device)) << "a device is written, never replaced";
}

TEST(FrontEnd, HeaderNameIsShiftJisWhateverTheLocale) {
    ScratchFolder folder;
    // "データ、.bin" in UTF-8: read as code page 932, its 0x81 would swallow the dot.
    const std::string stem = "\xE3\x83\x87\xE3\x83\xBC\xE3\x82\xBF\xE3\x80\x81";
    WriteBytes(folder / (stem + ".bin"), "x");
    WriteBytes(folder / "a\xF0\x9F\x98\x80.bin", "x");  // an emoji has no code page 932 form
    for (const char* locale : {"ja_JP.UTF-8", "C"}) {
        ASSERT_EQ(RunFrontEnd(folder, {"-f", stem + ".bin"}, locale).exitCode, 0);
        EXPECT_NE(ReadBytes(folder / (stem + ".c")).find(kNameLabel + "\x83\x66\x81\x5B\x83\x5E\x81\x41.bin\r\n"),
                  std::string::npos) << locale;
        ASSERT_EQ(RunFrontEnd(folder, {"-f", "-o", "two.c", "a\xF0\x9F\x98\x80.bin"}, locale).exitCode, 0);
        EXPECT_NE(ReadBytes(folder / "two.c").find(kNameLabel + "a?.bin\r\n"), std::string::npos) << locale;
    }
}

// Interrupted or terminated mid-run, the front end leaves the old output and
// no temporary file.
TEST(FrontEnd, ASignalMidRunLeavesTheOldOutput) {
    for (int signal : {SIGINT, SIGTERM}) {
        ScratchFolder folder;
        WriteBytes(folder / "in.bin", "");
        std::filesystem::resize_file(folder.Path() / "in.bin", 256u << 20);
        WriteBytes(folder / "in.c", "old");
        pid_t child = Start(folder, {{"-f", "in.bin"}});
        for (int wait = 0; wait < 2000 && FilesIn(folder).size() < 3; ++wait) usleep(1000);
        ASSERT_EQ(FilesIn(folder).size(), 3u) << "no temporary file seen";
        kill(child, signal);
        EXPECT_EQ(Finish(folder, child).exitCode, 128 + signal);
        EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"in.bin", "in.c"}));
        EXPECT_EQ(ReadBytes(folder / "in.c"), "old");
    }
}

TEST(FrontEnd, RefusesInputItCannotMeasureOrThatIsItsOwnOutput) {
    ScratchFolder folder;
    ASSERT_EQ(mkfifo((folder / "pipe").c_str(), 0600), 0);
    Result pipe = RunFrontEnd(folder, {"-o", "-", "pipe"});  // opening it would wait for a writer
    EXPECT_EQ(pipe.exitCode, 3);
    EXPECT_NE(pipe.err.find("pipe: not a regular file"), std::string::npos) << pipe.err;

    WriteBytes(folder / "in.bin", "abc");
    Launch toItself{{"-o", "-", "in.bin"}};
    toItself.standardOutput = folder / "in.bin";
    Result self = Finish(folder, Start(folder, toItself));
    EXPECT_EQ(self.exitCode, 4);
    EXPECT_EQ(ReadBytes(folder / "in.bin"), "abc");
    toItself.arguments = {"-o", "copy.c", "in.bin"};  // written elsewhere, it may be
    EXPECT_EQ(Finish(folder, Start(folder, toItself)).exitCode, 0);
}

// Started with a standard stream closed, the process gives it /dev/null the
// right way round, so that no file opened later is read or written as it.
TEST(FrontEnd, ClosedStandardStreamsAreReopenedOnNull) {
    struct stat null {};
    ASSERT_EQ(stat("/dev/null", &null), 0);
    for (int stream : {0, 1, 2}) {
        const pid_t child = fork();
        if (child == 0) {
            close(stream);
            struct stat opened {};
            const bool ok = PrepareProcess() && fstat(stream, &opened) == 0 && opened.st_rdev == null.st_rdev &&
                            (fcntl(stream, F_GETFL) & O_ACCMODE) == (stream == 0 ? O_RDONLY : O_WRONLY);
            _exit(ok ? 0 : 1);
        }
        int status = 0;
        waitpid(child, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << "stream " << stream;
    }
}

TEST(FrontEnd, ForcedOutputToAPipeIsWrittenWithoutLookingFirst) {
    ScratchFolder folder;
    WriteBytes(folder / "in.bin", "abc");
    ASSERT_EQ(mkfifo((folder / "out.c").c_str(), 0600), 0);
    std::string received;
    std::thread reader([&] { received = ReadBytes(folder / "out.c"); });
    EXPECT_EQ(RunFrontEnd(folder, {"-f", "-o", "out.c", "in.bin"}).exitCode, 0);
    reader.join();
    EXPECT_NE(received.find("0x61,0x62,0x63"), std::string::npos);
    EXPECT_EQ(FilesIn(folder), (std::vector<std::string>{"in.bin", "out.c"}));
}

// A file that exists but cannot be read is still asked about (and so, with
// nobody to ask, kept).
TEST(FrontEnd, AnUnreadableOutputIsNotOverwrittenWithoutConsent) {
    if (geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
    ScratchFolder folder;
    std::filesystem::permissions(folder.Path(), std::filesystem::perms::all);
    WriteBytes(folder / "in.bin", "abc");
    WriteBytes(folder / "in.c", "keep");
    std::filesystem::permissions(folder.Path() / "in.c", std::filesystem::perms(0222));
    Launch asNobody{{"in.bin"}};
    asNobody.prefix = {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"};
    Result result = Finish(folder, Start(folder, asNobody));
    EXPECT_EQ(result.exitCode, 4) << result.err;
    EXPECT_EQ(ReadBytes(folder / "in.c"), "keep");
}

// The path is opened as given: a short relative path is taken even where
// the current folder's full path is near the system's limit.
TEST(FrontEnd, TakesShortPathsInADeepFolder) {
    ScratchFolder folder;
    const std::string name(250, 'd');
    pid_t child = fork();
    if (child == 0) {  // folders made and entered one step at a time, as only relative paths can
        bool ok = chdir(folder.Path().c_str()) == 0;
        for (std::size_t depth = folder.Path().string().size(); ok && depth < 4090; depth += name.size() + 1)
            ok = mkdir(name.c_str(), 0700) == 0 && chdir(name.c_str()) == 0;
        int in = open("in.bin", O_WRONLY | O_CREAT, 0600);
        ok = ok && in >= 0 && write(in, "abc", 3) == 3 && close(in) == 0;
        int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, 2);
        if (ok) execl(ARRAYFORGE_CLI, ARRAYFORGE_CLI, "in.bin", static_cast<char*>(nullptr));
        _exit(127);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(std::system(("rm -rf '" + folder.Path().string() + "/" + name + "'").c_str()), 0);
}

// The options for build systems, on files whose header time is fixed, so
// that whole files compare: hand-checked expected files.
TEST(FrontEnd, BuildOptionsWriteTheirExpectedFiles) {
    ScratchFolder folder;
    WriteBytes(folder / "blob.bin", "\x01\x02\x80");
    std::string text;  // 64 bytes: one whole line of string pieces
    for (int i = 0; i < 8; ++i) text += std::string("a ?\"\\\0\x7F" "9", 8);
    WriteBytes(folder / "text.txt", text);
    WriteBytes(folder / "empty.dat", "");
    WriteBytes(folder / "w.bin", "\x01\x02\x03");
    std::filesystem::create_directory(folder.Path() / "out");
    struct Case {
        std::vector<std::string> arguments;
        std::vector<std::pair<const char*, const char*>> outputs;  // written, expected
    };
    const Case cases[] = {
        {{"-t", "u8", "--const", "--length", "--nul", "-n", "blob", "--header", "blob.h", "blob.bin"},
         {{"blob.c", "portable_u8.c"}, {"blob.h", "portable_u8_h.txt"}}},
        {{"-t", "uchar", "--format=string", "--eol", "lf", "text.txt"}, {{"text.c", "portable_string_lf.c"}}},
        {{"--format=string", "-o", "empty.c", "empty.dat"}, {{"empty.c", "portable_string_empty.c"}}},
        {{"--format", "embed", "--static", "--utf8", "--nul", "-o", "out/embed.c", "blob.bin"},  // #embed "../blob.bin"
         {{"out/embed.c", "portable_embed_utf8.c"}}},
        {{"--format=embed", "-o", "none.c", "empty.dat"}, {{"none.c", "portable_embed_empty.c"}}},  // a list
        {{"-t", "u16", "--length", "--header", "two.h", "--eol", "lf", "-o", "two.c", "w.bin", "empty.dat"},
         {{"two.c", "portable_two_u16.c"}, {"two.h", "portable_two_u16_h.txt"}}},
    };
    for (const Case& c : cases) {
        Result result = RunFrontEnd(folder, c.arguments, "ja_JP.UTF-8", {"SOURCE_DATE_EPOCH=1700000000"});
        EXPECT_EQ(result.exitCode, 0) << result.err;
        for (auto [written, expected] : c.outputs)
            EXPECT_EQ(ReadBytes(folder / written), GoldenFile(expected)) << written;
    }
}

TEST(FrontEnd, StandardInputIsCopiedSoItsSizeIsExact) {
    ScratchFolder folder;
    WriteBytes(folder / "piped", "abc");
    Result result = RunFrontEnd(folder, {"-t", "uchar", "-"}, "C", {"TMPDIR=" + folder.Path().string()}, folder / "piped");
    EXPECT_EQ(FilesIn(folder), std::vector<std::string>{"piped"}) << "the copy is gone";
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find(kNameLabel + "stdin\r\n"), std::string::npos);
    EXPECT_NE(result.out.find("\x81\x46" "3\xCA\xDE\xB2\xC4\r\n"), std::string::npos) << "size line";
    EXPECT_NE(result.out.find("\t\t0x61,0x62,0x63\r\n"), std::string::npos);
}

TEST(FrontEnd, UsageErrorsWriteNothing) {
    ScratchFolder folder;
    WriteBytes(folder / "a.bin", "a");
    WriteBytes(folder / "a_bin", "b");
    WriteBytes(folder / "int", "c");
    for (std::vector<std::string> arguments : std::vector<std::vector<std::string>>{
             {"-o", "x.c", "a.bin", "a_bin"},               // both arrays named a_bin
             {"-o", "x.c", "a.bin", "int"},                 // a keyword
             {"-o", "x.c", "--length", "a.bin", "a.bin"},  // the same file twice
         }) {
        Result result = RunFrontEnd(folder, arguments);
        EXPECT_EQ(result.exitCode, 2) << ::testing::PrintToString(arguments) << result.err;
        EXPECT_FALSE(std::filesystem::exists(folder.Path() / "x.c")) << ::testing::PrintToString(arguments);
    }
    Result badEpoch = RunFrontEnd(folder, {"a.bin"}, "C", {"SOURCE_DATE_EPOCH=yesterday"});
    EXPECT_EQ(badEpoch.exitCode, 2);
    EXPECT_NE(badEpoch.err.find("SOURCE_DATE_EPOCH"), std::string::npos);
}

}  // namespace
