// The settings against the real registry of the test's Wine prefix.

#include "tests/win/ui/RegistryFixture.h"

namespace {

class Settings : public SettingsKeyTest {
protected:
    struct Loaded {
        DataType dataType;
        std::string lastDir;
        BOOL topWin;
    };
    static Loaded Load(BOOL topWinBefore = 0) {
        UniqueRegKey key = OpenSettingsKey();
        char lastDir[kLastDirSize + 16];
        std::memset(lastDir, '#', sizeof lastDir);
        auto& exact = *reinterpret_cast<char(*)[kLastDirSize]>(lastDir);
        Loaded loaded{ReadDataType(key.Get()), {}, topWinBefore};
        ReadLastDir(key.Get(), exact);
        EXPECT_EQ(std::string(lastDir + kLastDirSize, 16), std::string(16, '#')) << "written past the buffer";
        loaded.lastDir = exact;
        ReadTopWin(key.Get(), loaded.topWin);
        return loaded;
    }
};

TEST_F(Settings, FirstStartCreatesTheKeyAndTakesTheDefaults) {
    Loaded loaded = Load();
    EXPECT_EQ(loaded.dataType, DataType::Char);
    EXPECT_EQ(loaded.lastDir, CurrentDirectory() + "\\");
    EXPECT_EQ(loaded.topWin, 0);
    HKEY key = nullptr;
    ASSERT_EQ(::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key), ERROR_SUCCESS) << "key created";
    ::RegCloseKey(key);
}

TEST_F(Settings, WrittenValuesHaveTheirTypesAndSizes) {
    UniqueRegKey key = OpenSettingsKey();
    WriteSettings(key.Get(), DataType::Ulong, "C:\\Work\\", 1);
    Stored dataType = Read("DataType");
    EXPECT_EQ(dataType.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(dataType.bytes, DwordBytes(2));
    Stored lastDir = Read("LastDir");
    EXPECT_EQ(lastDir.type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(lastDir.bytes, std::string("C:\\Work\\", 9)) << "nine bytes, zero included";
    EXPECT_EQ(Read("TopWin").bytes, DwordBytes(1));
    Loaded loaded = Load();
    EXPECT_EQ(loaded.dataType, DataType::Ulong);
    EXPECT_EQ(loaded.lastDir, "C:\\Work\\");
    EXPECT_EQ(loaded.topWin, 1);
}

TEST_F(Settings, MalformedDataTypeBecomesChar) {
    struct Case {
        DWORD type;
        std::string bytes;
    };
    const Case cases[] = {
        {REG_DWORD, DwordBytes(3)},          // outside 0 to 2
        {REG_DWORD, DwordBytes(0xFFFFFFFF)},
        {REG_SZ, std::string("1\0", 2)},     // a text, not a number
        {REG_BINARY, std::string("\x01\x00", 2)},  // too short
        {REG_BINARY, std::string("\x02\x00\x00\x00\x00\x00\x00\x00", 8)},  // too long for the buffer
    };
    for (const Case& c : cases) {
        Store("DataType", c.type, c.bytes.data(), static_cast<DWORD>(c.bytes.size()));
        EXPECT_EQ(Load().dataType, DataType::Char) << c.type << " " << c.bytes.size();
    }
    StoreDword("DataType", 1);
    EXPECT_EQ(Load().dataType, DataType::Uint);
}

TEST_F(Settings, UnusableLastDirFallsBackToTheCurrentDirectory) {
    const std::string fallback = CurrentDirectory() + "\\";
    StoreText("LastDir", std::string(300, 'd'));  // longer than the buffer
    EXPECT_EQ(Load().lastDir, fallback);
    std::string unterminated(kLastDirSize, 'u');  // fills the buffer, no zero inside
    Store("LastDir", REG_SZ, unterminated.data(), static_cast<DWORD>(unterminated.size()));
    EXPECT_EQ(Load().lastDir, fallback);
    StoreDword("LastDir", 7);
    EXPECT_EQ(Load().lastDir, fallback);
    StoreText("LastDir", "D:\\x\\y\\");
    EXPECT_EQ(Load().lastDir, "D:\\x\\y\\") << "a stored folder is used as it is";
}

TEST_F(Settings, DriveRootGetsNoSecondBackslash) {
    std::string before = CurrentDirectory();
    ASSERT_TRUE(::SetCurrentDirectoryA("C:\\"));
    std::string lastDir = Load().lastDir;
    ::SetCurrentDirectoryA(before.c_str());
    EXPECT_EQ(lastDir, "C:\\");
}

TEST_F(Settings, MalformedTopWinLeavesTheSwitchAlone) {
    StoreText("TopWin", "1");
    EXPECT_EQ(Load(0).topWin, 0);
    EXPECT_EQ(Load(1).topWin, 1);
    StoreDword("TopWin", 0);
    EXPECT_EQ(Load(1).topWin, 0);
}

}  // namespace
