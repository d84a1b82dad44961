// The program's version record and manifest, read back from this test
// program, which links them as the program does. (The dialogs' controls and
// texts are used by their ids in the smoke run and the dialog tests.)

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/Version.h"

TEST(Resources, VersionRecordAndManifest) {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string block(::GetFileVersionInfoSizeA(path, nullptr), '\0');
    ASSERT_TRUE(::GetFileVersionInfoA(path, 0, static_cast<DWORD>(block.size()), block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueA(block.data(), "\\", reinterpret_cast<void**>(&fixed), &length));
    const WORD numbers[] = {ARRAYFORGE_VERSION_NUMBERS};
    EXPECT_EQ(fixed->dwFileVersionMS, static_cast<DWORD>(MAKELONG(numbers[1], numbers[0])));
    EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MAKELONG(numbers[3], numbers[2])));
    for (const char* name : {"FileVersion", "ProductVersion"}) {
        char* text = nullptr;
        ASSERT_TRUE(::VerQueryValueA(block.data(), (std::string("\\StringFileInfo\\041104b0\\") + name).c_str(),
                                     reinterpret_cast<void**>(&text), &length));
        EXPECT_EQ(text, std::string(ARRAYFORGE_VERSION_RECORD_TEXT)) << name;
    }

    HRSRC found = ::FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const std::string manifest(static_cast<const char*>(::LockResource(::LoadResource(nullptr, found))),
                               ::SizeofResource(nullptr, found));
    EXPECT_NE(manifest.find(R"(name="Microsoft.Windows.Common-Controls")"), std::string::npos);
    EXPECT_NE(manifest.find(R"(level="highestAvailable")"), std::string::npos);
}

