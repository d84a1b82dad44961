// CRegistryKey's reads against a scratch key under HKEY_CURRENT_USER (its
// writes: the settings written and read back in tests/win/ui).

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "winfw/RegistryKey.h"

TEST(RegistryKey, ReadsOnlyWhatHasTheTypeAndFitsTheBound) {
    const CRegistryKey key = CRegistryKey::Create(HKEY_CURRENT_USER, "Software\\Arrayforge tests\\Registry");
    ASSERT_TRUE(key);
    const std::string seven("\x07\0\0\0", 4);
    // Type and bytes stored; the DWORD read; the result of a string read into 8 bytes and the text read.
    const std::tuple<DWORD, std::string, std::optional<DWORD>, LONG, std::string> cases[] = {
        {REG_DWORD, seven, 7, ERROR_SUCCESS, "\x07"},  // a string read checks no type
        {REG_BINARY, seven, std::nullopt, ERROR_SUCCESS, "\x07"},
        {REG_DWORD, seven.substr(0, 3), std::nullopt, ERROR_SUCCESS, "\x07"},
        {REG_SZ, "abc", std::nullopt, ERROR_SUCCESS, "abc"},  // stored without its zero
        {REG_SZ, std::string("1234567\0", 8), std::nullopt, ERROR_SUCCESS, "1234567"},
        {REG_SZ, "12345678", std::nullopt, ERROR_MORE_DATA, "##########"},  // fills the bound, no zero
        {REG_SZ, std::string("12345678\0", 9), std::nullopt, ERROR_MORE_DATA, "##########"},
    };
    for (const auto& [type, bytes, dword, result, text] : cases) {
        ::RegSetValueExA(key.Get(), "v", 0, type, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()));
        char buffer[12] = "##########";
        DWORD typeRead = 0;
        EXPECT_EQ(key.ReadDword("v"), dword) << testing::PrintToString(bytes);
        EXPECT_EQ(key.ReadString("v", std::span(buffer, 8), &typeRead), result) << testing::PrintToString(bytes);
        EXPECT_TRUE(typeRead == type && (result != ERROR_SUCCESS || buffer == text) && std::string(buffer + 8) == "##")
            << testing::PrintToString(bytes) << " read as " << buffer;
    }
}
