#pragma once

// Gives each test an empty settings key and removes what the test left.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "ui/Settings.h"

class SettingsKeyTest : public ::testing::Test {
protected:
    void SetUp() override { ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey); }
    void TearDown() override { ::RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKey); }

    static void Store(const char* name, DWORD type, const void* data, DWORD size) {
        UniqueRegKey key = OpenSettingsKey();
        ASSERT_TRUE(key);
        ASSERT_EQ(::RegSetValueExA(key.Get(), name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    }
    static void StoreDword(const char* name, DWORD value) { Store(name, REG_DWORD, &value, sizeof value); }
    static void StoreText(const char* name, const std::string& text) {
        Store(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }

    struct Stored {
        bool present = false;
        DWORD type = 0;
        std::string bytes;
    };
    static Stored Read(const char* name) {
        Stored stored;
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return stored;
        char buffer[1024];
        DWORD size = sizeof buffer;
        stored.present = ::RegQueryValueExA(key, name, nullptr, &stored.type, reinterpret_cast<BYTE*>(buffer), &size) ==
                         ERROR_SUCCESS;
        if (stored.present) stored.bytes.assign(buffer, size);
        ::RegCloseKey(key);
        return stored;
    }
    static std::string DwordBytes(DWORD value) { return std::string(reinterpret_cast<const char*>(&value), 4); }
    static std::string CurrentDirectory() {
        char directory[MAX_PATH];
        DWORD length = ::GetCurrentDirectoryA(MAX_PATH, directory);
        return std::string(directory, length);
    }
};
