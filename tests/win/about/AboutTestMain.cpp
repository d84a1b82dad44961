// The About box's test program. Started with "--record" it is instead the
// program that a test registered as the opener of links: it appends its show
// command and its whole command line to the file named by the environment
// variable kRecordFileVariable, and ends.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <string_view>

#include "AboutTestSupport.h"

namespace {

int RecordStart() {
    char path[MAX_PATH] = {};
    const DWORD length = ::GetEnvironmentVariableA(kRecordFileVariable, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return 2;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    ::GetStartupInfoA(&startup);
    const int showCommand = (startup.dwFlags & STARTF_USESHOWWINDOW) != 0 ? startup.wShowWindow : -1;
    std::FILE* file = std::fopen(path, "ab");
    if (file == nullptr) return 3;
    std::fprintf(file, "%d %s\n", showCommand, ::GetCommandLineA());
    return std::fclose(file) == 0 ? 0 : 4;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc >= 2 && std::string_view(argv[1]) == kRecordFlag) return RecordStart();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
