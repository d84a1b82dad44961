// CRegistryKey's reads against a scratch key under HKEY_CURRENT_USER (its
// writes: the settings written and read back in tests/win/ui).

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "winfw/RegistryKey.h"

constexpr char kScratchKey[] = "Software\\Arrayforge tests\\Registry";
const std::string kSeven("\x07\0\0\0", 4);

TEST(RegistryKey, ReadsOnlyWhatHasTheTypeAndFitsTheBound) {
    ::RegDeleteTreeA(HKEY_CURRENT_USER, kScratchKey);
    const CRegistryKey key = CRegistryKey::Create(HKEY_CURRENT_USER, kScratchKey);
    ASSERT_TRUE(key);
    struct Case {
        DWORD type;
        std::string bytes;
        std::optional<DWORD> dword;
        LONG stringResult;  // read into 8 bytes
        std::string text;   // read, when that succeeds
    } const cases[] = {
        {REG_DWORD, kSeven, 7, ERROR_SUCCESS, "\x07"},  // a string read checks no type
        {REG_BINARY, kSeven, std::nullopt, ERROR_SUCCESS, "\x07"},
        {REG_DWORD, std::string("\x07\0\0", 3), std::nullopt, ERROR_SUCCESS, "\x07"},
        {REG_SZ, std::string("abc\0", 4), std::nullopt, ERROR_SUCCESS, "abc"},
        {REG_SZ, "abc", std::nullopt, ERROR_SUCCESS, "abc"},  // stored without its zero
        {REG_SZ, "", std::nullopt, ERROR_SUCCESS, ""},
        {REG_SZ, std::string("1234567\0", 8), std::nullopt, ERROR_SUCCESS, "1234567"},
        {REG_SZ, "12345678", std::nullopt, ERROR_MORE_DATA, ""},  // fills the bound, no zero
        {REG_SZ, std::string("12345678\0", 9), std::nullopt, ERROR_MORE_DATA, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.type << " " << testing::PrintToString(c.bytes));
        ::RegSetValueExA(key.Get(), "v", 0, c.type, reinterpret_cast<const BYTE*>(c.bytes.data()),
                         static_cast<DWORD>(c.bytes.size()));
        EXPECT_EQ(key.ReadDword("v"), c.dword);
        char buffer[12] = "##########";
        DWORD type = 0;
        EXPECT_EQ(key.ReadString("v", std::span(buffer, 8), &type), c.stringResult);
        EXPECT_EQ(type, c.type);
        if (c.stringResult == ERROR_SUCCESS) {
            EXPECT_EQ(buffer, c.text);
        }
        EXPECT_EQ(std::string(buffer + 8), "##") << "written past the bound";
    }
}
