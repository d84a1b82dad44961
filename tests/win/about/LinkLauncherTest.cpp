// OpenLink with HKEY_CLASSES_ROOT redirected to an empty key of the test's
// own: the shell knows no program for https: (Wine answers 31, SE_ERR_NOASSOC)
// and ".htm" opens with what the test registers, this program with
// kRecordFlag, which logs how it was started (see main). A job holding the
// test process tells when every program started has ended.

#include <gtest/gtest.h>

#include <fstream>

#include "about/LinkLauncher.h"
#include "about/LinkTargets.h"
#include "app/win32/Handles.h"

namespace {

constexpr const char* kRecordFlag = "--record";
constexpr const char* kRecordFileVariable = "ARRAYFORGE_ABOUT_RECORD";
constexpr const char* kClassesKey = "Software\\Arrayforge tests\\About classes";
constexpr int kShowCommand = SW_SHOWMINNOACTIVE;  // not the usual 1: passed on unchanged?

// Joined at the first call; the programs this process starts join it too.
HANDLE ProcessJob() {
    static const UniqueKernelHandle job(::CreateJobObjectA(nullptr, nullptr));
    static const bool joined = ::AssignProcessToJobObject(job.Get(), ::GetCurrentProcess()) != FALSE;
    return joined ? job.Get() : nullptr;
}

// The test program as a registered opener.
std::string Recorder() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return std::string("\"").append(path).append("\" ").append(kRecordFlag);
}

class LinkLauncherTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(ProcessJob(), nullptr);
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kClassesKey);
        HKEY created = nullptr;
        ASSERT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, kClassesKey, &created), ERROR_SUCCESS);
        classes.Reset(created);
        ASSERT_EQ(::RegOverridePredefKey(HKEY_CLASSES_ROOT, classes.Get()), ERROR_SUCCESS);
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        recordFile = std::string(temp).append("arrayforge-about-started.txt");
        ::DeleteFileA(recordFile.c_str());
        ::SetEnvironmentVariableA(kRecordFileVariable, recordFile.c_str());
    }
    void TearDown() override {
        Started();
        ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
        classes.Reset();
        ::RegDeleteTreeA(HKEY_CURRENT_USER, kClassesKey);
    }

    void SetDefault(const std::string& subKey, const std::string& value) const {
        const auto size = static_cast<DWORD>(value.size());
        ASSERT_EQ(::RegSetValueA(classes.Get(), subKey.c_str(), REG_SZ, value.c_str(), size), ERROR_SUCCESS);
    }

    // What each program started since the last call logged, once all have ended.
    std::vector<std::string> Started() const {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION job{};
        for (const DWORD start = ::GetTickCount(); ::GetTickCount() - start < 15000; ::Sleep(20)) {
            ::QueryInformationJobObject(ProcessJob(), JobObjectBasicAccountingInformation, &job, sizeof job, nullptr);
            if (job.ActiveProcesses <= 1) break;
        }
        std::ifstream file(recordFile, std::ios::binary);
        std::vector<std::string> lines;
        for (std::string line; std::getline(file, line);) lines.push_back(line);
        file.close();
        ::DeleteFileA(recordFile.c_str());
        return lines;
    }

    UniqueRegKey classes;
    std::string recordFile;
};

TEST_F(LinkLauncherTest, ShellFirstElseThePageProgramWithTheLinkInPlaceOfThePlaceholder) {
    // A scheme the shell opens itself.
    SetDefault("arrayforge-test", "URL:Arrayforge test");
    ASSERT_EQ(::RegSetKeyValueA(classes.Get(), "arrayforge-test", "URL Protocol", REG_SZ, "", 1), ERROR_SUCCESS);
    SetDefault("arrayforge-test\\shell\\open\\command", Recorder().append(" shell \"%1\""));

    const std::string site(links::kSiteAddress);
    // The command line in 520 bytes: the program, its flag, a space, the
    // space before the link, the link and the terminator.
    const std::string fits = site + std::string(517 - Recorder().size() - site.size(), 'a');
    struct Case {
        const char* name;
        const char* page;  // the ".htm" command after the program; null: no ".htm" key
        std::string link;
        std::string started;  // after the program; empty: nothing started
    } const cases[] = {
        {"the shell succeeds", " page \"%1\"", "arrayforge-test:x", " shell \"arrayforge-test:x\""},
        {"no .htm key", nullptr, site, ""},
        {"quoted placeholder", " -new \"%1\"", site, " -new  " + site},
        {"bare placeholder", " -new %1", site, " -new  " + site},
        {"no placeholder", " -new", site, " -new " + site},
        {"options after the placeholder", " -new \"%1\" -after \"%1\"", site, " -new  " + site},
        // "ソ表": second bytes 0x5C, a backslash by themselves.
        {"two-byte characters before the placeholder", " \x83\x5C\x95\x5C \"%1\"", site,
         " \x83\x5C\x95\x5C  " + site},
        {"the longest link that fits", " \"%1\"", fits, "  " + fits},
        {"one byte too long", " \"%1\"", fits + "a", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ::RegDeleteTreeA(classes.Get(), ".htm");
        if (c.page != nullptr) {
            SetDefault(".htm", "ArrayforgeTestPage");
            SetDefault("ArrayforgeTestPage\\shell\\open\\command", Recorder().append(c.page));
        }
        const INT_PTR result = OpenLink(c.link.c_str(), kShowCommand);
        // 31: the shell's failure (SE_ERR_NOASSOC) and nothing else tried;
        // above: started by the shell (above 32) or by WinExec.
        EXPECT_EQ(result > 31, !c.started.empty()) << result;
        std::vector<std::string> expected;
        if (!c.started.empty()) expected.push_back(std::to_string(kShowCommand) + " " + Recorder() + c.started);
        EXPECT_EQ(Started(), expected);
    }
}

TEST(PlaceholderCutTest, QuotedPlaceholderStartsOnlyOnACharacterBoundary) {
    // 0x81 0x22 is one (malformed) character: its quote starts nothing, so
    // the bare search cuts at the percent sign.
    EXPECT_EQ(PlaceholderCut("prog \x81\"%1\""), 7u);
    EXPECT_EQ(PlaceholderCut("prog \x81\x81\"%1\""), 7u);
}

// Started with kRecordFlag: appends "<show command> <command line>" to the
// file that kRecordFileVariable names.
int RecordStart() {
    char path[MAX_PATH] = {};
    if (::GetEnvironmentVariableA(kRecordFileVariable, path, MAX_PATH) == 0) return 2;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoA(&startup);
    const int showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1;
    std::ofstream(path, std::ios::binary | std::ios::app) << showCommand << ' ' << ::GetCommandLineA() << '\n';
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string_view(argv[1]) == kRecordFlag) return RecordStart();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
