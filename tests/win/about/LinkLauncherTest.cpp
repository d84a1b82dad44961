// The link launcher: the command line it builds, the registry values it
// reads, and its fallback with HKEY_CLASSES_ROOT redirected to a key of the
// test's own, where ".htm" opens with this program in its recording role.

#include <gtest/gtest.h>

#include <fstream>
#include <optional>
#include <string>

#include "about/LinkLauncher.h"

namespace {

constexpr char kRecordFlag[] = "--record";

TEST(LinkLauncher, CommandLineLosesThePlaceholderAndEndsInTheLink) {
    const std::string link = "https://x.example/";
    const std::string fits(kCommandBufferSize - 1 - 2, 'a');  // with " x", one byte left for the zero
    const std::tuple<std::string, std::string, std::optional<std::string>> cases[] = {
        // Registered command line, link, the line started.
        {"\"C:\\b.exe\" -new \"%1\"", link, "\"C:\\b.exe\" -new  " + link},
        {"b.exe -new %1 -after", link, "b.exe -new  " + link},
        {"b.exe -new", link, "b.exe -new " + link},
        {"b.exe \"%1\" -after \"%1\"", link, "b.exe  " + link},
        {"\x83\x5C\x95\x5C \"%1\"", link, "\x83\x5C\x95\x5C  " + link},  // "ソ表": second bytes 0x5C
        {"b \x81\"%1\"", link, "b \x81\" " + link},  // 0x81 0x22 is one character: its quote starts nothing
        {fits, "x", fits + " x"},
        {fits + "a", "x", std::nullopt},
        {"b %1", fits, std::nullopt},
    };
    for (const auto& [registered, target, started] : cases)
        EXPECT_EQ(LinkCommandLine(registered, target), started) << registered;
}

std::string RecordFile() {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    return std::string(temp) + "arrayforge-link-started.txt";
}

TEST(LinkLauncher, DefaultValuesAndTheFallbackWhenTheShellCannot) {
    constexpr char kScratchKey[] = "Software\\Arrayforge tests\\Link classes";
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kScratchKey);
    HKEY root = nullptr;
    ASSERT_EQ(::RegCreateKeyA(HKEY_CURRENT_USER, kScratchKey, &root), ERROR_SUCCESS);
    const auto setDefault = [root](const char* subKey, const std::string& value) {
        ::RegSetValueA(root, subKey, REG_SZ, value.c_str(), 0);
    };
    setDefault("k", "value");
    setDefault("long", std::string(kRegValueBufferSize, 'v'));
    setDefault("empty\\sub", "");  // "empty" has no default value
    char buffer[kRegValueBufferSize] = "k";
    EXPECT_EQ(ReadDefaultRegValue(root, buffer, buffer), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "value") << "read over the key name";
    EXPECT_EQ(ReadDefaultRegValue(root, "missing", buffer), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(ReadDefaultRegValue(root, "long", buffer), ERROR_MORE_DATA);
    EXPECT_STREQ(buffer, "value") << "untouched after a failure";
    EXPECT_EQ(ReadDefaultRegValue(root, "empty", buffer), ERROR_SUCCESS);
    EXPECT_STREQ(buffer, "");

    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, MAX_PATH);
    const std::string program = std::string("\"") + self + "\" " + kRecordFlag;
    ASSERT_EQ(::RegOverridePredefKey(HKEY_CLASSES_ROOT, root), ERROR_SUCCESS);
    ::DeleteFileA(RecordFile().c_str());
    // No ".htm": the shell's failure (SE_ERR_NOASSOC) and nothing else.
    EXPECT_EQ(OpenLink("https://x.example/", SW_SHOWNORMAL), SE_ERR_NOASSOC);
    setDefault(".htm", "TestPage");
    setDefault("TestPage\\shell\\open\\command", program + " -new \"%1\" -after");
    EXPECT_GT(OpenLink("https://x.example/", SW_SHOWMINNOACTIVE), 31);
    std::string started;
    for (int i = 0; i < 500 && started.empty(); ++i, ::Sleep(20)) std::getline(std::ifstream(RecordFile()), started);
    EXPECT_EQ(started, std::to_string(SW_SHOWMINNOACTIVE) + " " + program + " -new  https://x.example/");

    ::DeleteFileA(RecordFile().c_str());
    ::RegOverridePredefKey(HKEY_CLASSES_ROOT, nullptr);
    ::RegCloseKey(root);
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kScratchKey);
}

// Started with kRecordFlag: writes "<show command> <command line>" to RecordFile().
int RecordStart() {
    STARTUPINFOA startup{};
    ::GetStartupInfoA(&startup);
    const int showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1;
    std::ofstream(RecordFile() + ".part") << showCommand << ' ' << ::GetCommandLineA() << '\n';
    return ::MoveFileA((RecordFile() + ".part").c_str(), RecordFile().c_str()) ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string_view(argv[1]) == kRecordFlag) return RecordStart();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
