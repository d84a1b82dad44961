// OpenLink against a registry of the test's own making. HKEY_CLASSES_ROOT is
// redirected to an empty volatile key (RegOverridePredefKey), so the shell
// knows no program for any link (Wine's ShellExecuteA then answers 31,
// SE_ERR_NOASSOC, for https:, mailto: and unknown schemes alike), and
// ".htm" opens with whatever the test registers. The registered program is
// this test program with --record: it writes how it was started to a file
// that the test reads back. A job holding the test process counts every
// program started from it.

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "AboutTestSupport.h"
#include "about/LinkLauncher.h"
#include "about/LinkTargets.h"
#include "winfw/Handles.h"

namespace {

constexpr const char* kTestClassesKey = "Software\\Arrayforge tests\\About classes";
constexpr const char* kPageClass = "ArrayforgeTestPage";
constexpr INT_PTR kShellNoAssociation = 31;  // SE_ERR_NOASSOC
constexpr int kShowCommand = SW_SHOWMINNOACTIVE;  // not the usual 1: passed on unchanged?

struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type handle) noexcept { ::CloseHandle(handle); }
};

// A job that this process joins at the first call; the programs it starts
// join it too.
HANDLE ProcessJob() {
    static const UniqueHandle<KernelHandleTraits> job = [] {
        UniqueHandle<KernelHandleTraits> created(::CreateJobObjectA(nullptr, nullptr));
        if (created && !::AssignProcessToJobObject(created.Get(), ::GetCurrentProcess())) created.Reset();
        return created;
    }();
    return job.Get();
}

JOBOBJECT_BASIC_ACCOUNTING_INFORMATION JobAccounting() {
    JOBOBJECT_BASIC_ACCOUNTING_INFORMATION info{};
    ::QueryInformationJobObject(ProcessJob(), JobObjectBasicAccountingInformation, &info, sizeof info, nullptr);
    return info;
}

// The test program as the registered opener.
std::string Recorder() {
    return std::string("\"").append(BesideTestProgram("arrayforge_about_test.exe")).append("\" ").append(kRecordFlag);
}

std::string Repeat(char character, std::size_t count) { return std::string(count, character); }

class LinkLauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(ProcessJob(), nullptr);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kTestClassesKey);
        HKEY created = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(HKEY_CURRENT_USER, kTestClassesKey, 0, nullptr, REG_OPTION_VOLATILE,
                                    KEY_ALL_ACCESS, nullptr, &created, nullptr),
                  ERROR_SUCCESS);
        classes.Reset(created);
        ASSERT_EQ(::RegOverridePredefKey(HKEY_CLASSES_ROOT, classes.Get()), ERROR_SUCCESS);

        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        recordFile = std::string(temp).append("arrayforge-about-started.txt");
        ::DeleteFileA(recordFile.c_str());
        ::SetEnvironmentVariableA(kRecordFileVariable, recordFile.c_str());
        processesBefore = JobAccounting().TotalProcesses;
    }
    void TearDown() override {
        WaitForStartedPrograms();
        ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        classes.Reset();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kTestClassesKey);
        ::DeleteFileA(recordFile.c_str());
    }

    // Sets the default value of `subKey` of the redirected classes root.
    void SetDefault(const std::string& subKey, std::string_view value) const {
        HKEY created = nullptr;
        ASSERT_EQ(::RegCreateKeyExA(classes.Get(), subKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE, KEY_ALL_ACCESS,
                                    nullptr, &created, nullptr),
                  ERROR_SUCCESS);
        const UniqueRegKey key(created);
        const std::string text(value);
        ASSERT_EQ(::RegSetValueExA(key.Get(), nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                   static_cast<DWORD>(text.size() + 1)),
                  ERROR_SUCCESS);
    }
    void RegisterPageCommand(std::string_view command) const {
        SetDefault(".htm", kPageClass);
        SetDefault(std::string(kPageClass).append("\\shell\\open\\command"), command);
    }

    void WaitForStartedPrograms() const {
        const DWORD start = ::GetTickCount();
        while (JobAccounting().ActiveProcesses > 1 && ::GetTickCount() - start < 15000) ::Sleep(20);
    }
    DWORD ProgramsStarted() const { return JobAccounting().TotalProcesses - processesBefore; }
    // "<show command> <command line>" of each program started, once all have ended.
    std::vector<std::string> Started() const {
        WaitForStartedPrograms();
        std::ifstream file(recordFile, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        return lines;
    }
    static std::string StartedAs(int showCommand, std::string_view commandLine) {
        return std::to_string(showCommand).append(" ").append(commandLine);
    }

    UniqueRegKey classes;
    std::string recordFile;
    DWORD processesBefore = 0;
};

TEST_F(LinkLauncherTest, ShellThatSucceedsIsTheOnlyLaunch) {
    // A scheme the shell knows, besides a page command that must stay unused.
    SetDefault("arrayforge-test", "URL:Arrayforge test");
    HKEY scheme = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(classes.Get(), "arrayforge-test", 0, KEY_SET_VALUE, &scheme), ERROR_SUCCESS);
    ::RegSetValueExA(scheme, "URL Protocol", 0, REG_SZ, reinterpret_cast<const BYTE*>(""), 1);
    ::RegCloseKey(scheme);
    SetDefault("arrayforge-test\\shell\\open\\command", Recorder().append(" shell \"%1\""));
    RegisterPageCommand(Recorder().append(" page \"%1\""));

    EXPECT_GT(OpenLink("arrayforge-test:page", SW_SHOWNORMAL), 32);
    const std::vector<std::string> expected = {
        StartedAs(SW_SHOWNORMAL, Recorder().append(" shell \"arrayforge-test:page\""))};
    // Only the shell's program: the page command would have recorded itself too.
    // (Counting processes would not do: Wine's shell gives a console program
    // a console of its own, a second process.)
    EXPECT_EQ(Started(), expected);
}

TEST_F(LinkLauncherTest, ShellFailureWithoutAPageCommandStartsNothing) {
    const std::string site(links::kSiteAddress);
    {
        SCOPED_TRACE("no .htm key");
        EXPECT_EQ(OpenLink(site.c_str(), kShowCommand), kShellNoAssociation);
    }
    {
        SCOPED_TRACE(".htm without a default value");
        SetDefault(".htm\\OpenWithProgids", "");
        EXPECT_EQ(OpenLink(site.c_str(), kShowCommand), kShellNoAssociation);
    }
    {
        SCOPED_TRACE("class without an open command");
        SetDefault(".htm", kPageClass);
        SetDefault(std::string(kPageClass).append("\\shell\\edit\\command"), Recorder().append(" \"%1\""));
        EXPECT_EQ(OpenLink(site.c_str(), kShowCommand), kShellNoAssociation);
    }
    EXPECT_EQ(ProgramsStarted(), 0u);
}

TEST_F(LinkLauncherTest, FallbackStartsThePageProgramWithTheLinkInPlaceOfThePlaceholder) {
    const std::string site(links::kSiteAddress);
    const std::string mail(links::kSupportMail);
    struct Case {
        const char* name;
        std::string registered;  // after the program and its --record
        std::string link;
        std::string started;  // after the program and its --record
    } const cases[] = {
        {"quoted placeholder after an option", " -new \"%1\"", site, " -new  " + site},
        {"bare placeholder", " -new %1", site, " -new  " + site},
        {"options after the placeholder", " -new \"%1\" -after \"%1\"", site, " -new  " + site},
        {"no placeholder", " -new", site, " -new " + site},
        {"quoted placeholder wins over an earlier bare one", " %1x \"%1\"", site, " %1x  " + site},
        // "ソ表": second bytes 0x5C, a backslash by themselves.
        {"two-byte characters before the placeholder", " \x83\x5C\x95\x5C \"%1\"", site,
         " \x83\x5C\x95\x5C  " + site},
        {"mail address", " \"%1\"", mail, "  " + mail},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        RegisterPageCommand(Recorder().append(c.registered));
        ::DeleteFileA(recordFile.c_str());
        EXPECT_GT(OpenLink(c.link.c_str(), kShowCommand), 31);
        const std::vector<std::string> expected = {StartedAs(kShowCommand, Recorder().append(c.started))};
        EXPECT_EQ(Started(), expected);
    }
    EXPECT_EQ(ProgramsStarted(), std::size(cases));
}

TEST_F(LinkLauncherTest, CommandLineThatWouldNotFitIsNotStarted) {
    RegisterPageCommand(Recorder().append(" \"%1\""));
    // The program, its flag, a space, the space before the link, the link and
    // the terminator in 520 bytes.
    const std::string linkStart = "https://www.corvane.example/";
    const std::size_t longestLink = 520 - (Recorder().size() + 2) - 1;
    const std::string fitting = linkStart + Repeat('a', longestLink - linkStart.size());

    EXPECT_EQ(OpenLink((fitting + "a").c_str(), kShowCommand), kShellNoAssociation);
    EXPECT_EQ(ProgramsStarted(), 0u);

    EXPECT_GT(OpenLink(fitting.c_str(), kShowCommand), 31);
    const std::vector<std::string> expected = {StartedAs(kShowCommand, Recorder().append("  ").append(fitting))};
    EXPECT_EQ(Started(), expected);
}

TEST_F(LinkLauncherTest, DefaultValueIsReadOverTheKeyNameOnlyWhenItFits) {
    SetDefault("Short", "value of Short");
    SetDefault("Longest", Repeat('v', kRegValueBufferSize - 1));
    SetDefault("TooLong", Repeat('w', kRegValueBufferSize));

    char buffer[kRegValueBufferSize];
    std::strcpy(buffer, "Short");
    EXPECT_EQ(ReadDefaultRegValue(classes.Get(), buffer, buffer), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "value of Short");

    std::strcpy(buffer, "Longest");
    EXPECT_EQ(ReadDefaultRegValue(classes.Get(), buffer, buffer), ERROR_SUCCESS);
    EXPECT_EQ(std::string(buffer), Repeat('v', kRegValueBufferSize - 1));

    for (const char* name : {"TooLong", "Missing"}) {
        SCOPED_TRACE(name);
        char destination[kRegValueBufferSize] = "untouched";
        const LONG expected = std::strcmp(name, "Missing") == 0 ? ERROR_FILE_NOT_FOUND : ERROR_MORE_DATA;
        EXPECT_EQ(ReadDefaultRegValue(classes.Get(), name, destination), expected);
        EXPECT_STREQ(destination, "untouched");
    }
}

TEST(PlaceholderCutTest, QuotedPlaceholderStartsOnlyOnACharacterBoundary) {
    struct Case {
        const char* name;
        std::string_view commandLine;
        std::size_t cut;
    } const cases[] = {
        // 0x81 0x22 is one (malformed) character: its quote starts nothing,
        // so the bare search cuts at the percent sign.
        {"lead byte before the quote", "prog \x81\"%1\"", 7},
        {"whole character before the quote", "prog \x81\x81\"%1\"", 7},
        {"second byte 0x5C", "\"C:\\\x95\x5C\\prog.exe\" \"%1\"", 17},
        {"lead byte at the very end", "prog \x81", 6},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(PlaceholderCut(c.commandLine), c.cut);
    }
}

}  // namespace
