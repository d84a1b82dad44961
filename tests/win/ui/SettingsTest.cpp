// The settings against the registry of the test's Wine prefix: what each
// stored value loads as, and what is written back.

#include <gtest/gtest.h>

#include <string>
#include <tuple>

#include "ui/Settings.h"

namespace {

// Data type, last folder and switch (on before loading) as loaded.
std::tuple<DataType, std::string, BOOL> Load() {
    const CRegistryKey key = OpenSettingsKey();
    char lastDir[kLastDirSize];
    BOOL topWin = 1;
    ReadLastDir(key, lastDir);
    ReadTopWin(key, topWin);
    return {ReadDataType(key), lastDir, topWin};
}

std::string Dword(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), 4); }

TEST(Settings, EachStoredValueLoadsAsItselfOrItsDefaultAndAllAreWrittenBack) {
    char directory[MAX_PATH];
    const std::string here = std::string(directory, ::GetCurrentDirectoryA(MAX_PATH, directory)) + "\\";
    struct Case {
        const char* name;  // null: no key at all
        DWORD type;
        std::string bytes;
        std::tuple<DataType, std::string, BOOL> loaded;
    } const cases[] = {
        {nullptr, 0, "", {DataType::Char, here, 1}},
        {"DataType", REG_DWORD, Dword(2), {DataType::Ulong, here, 1}},
        {"DataType", REG_DWORD, Dword(3), {DataType::Char, here, 1}},  // outside 0 to 2
        {"DataType", REG_SZ, std::string("1", 2), {DataType::Char, here, 1}},
        {"LastDir", REG_SZ, std::string("D:\\x\\", 6), {DataType::Char, "D:\\x\\", 1}},
        {"LastDir", REG_SZ, std::string(kLastDirSize, 'd'), {DataType::Char, here, 1}},
        {"LastDir", REG_DWORD, Dword(7), {DataType::Char, here, 1}},
        {"TopWin", REG_DWORD, Dword(0), {DataType::Char, here, 0}},
        {"TopWin", REG_SZ, std::string("0", 2), {DataType::Char, here, 1}},  // malformed: the switch stays
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.name ? c.name : "none") << " " << testing::PrintToString(c.bytes));
        ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
        if (c.name != nullptr)
            ::RegSetKeyValueA(HKEY_CURRENT_USER, kSettingsKey, c.name, c.type, c.bytes.data(), c.bytes.size());
        EXPECT_EQ(Load(), c.loaded);
    }
    WriteSettings(OpenSettingsKey(), DataType::Uint, "C:\\Work\\", 0);
    EXPECT_EQ(Load(), std::make_tuple(DataType::Uint, std::string("C:\\Work\\"), BOOL{0}));

    ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
    ASSERT_TRUE(::SetCurrentDirectoryA("C:\\"));
    EXPECT_EQ(std::get<1>(Load()), "C:\\") << "a drive root gets no second backslash";
    ::SetCurrentDirectoryA(directory);
    ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey);
}

}  // namespace
