// What the program file holds, all of it Japanese, and the identifiers that
// the code and the resource script share.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "res/resource.h"
#include "tests/win/resources/ResourceReader.h"

// The shared header must give the numbers the program is built around.
static_assert(IDD_ABOUT == 100 && IDD_MAIN == 102);
static_assert(IDS_ABOUT_MENU == 101 && IDS_BROWSE_TIP == 102 && IDS_APP_TITLE == 57344);
static_assert(IDI_APP == 128 && IDB_BROWSE == 129 && IDC_NODROP_CURSOR == 30982);
static_assert(IDC_SOURCE_PATH == 1000 && IDC_OUTPUT_PATH == 1001);
static_assert(IDC_TYPE_1BYTE == 1002 && IDC_TYPE_2BYTE == 1003 && IDC_TYPE_4BYTE == 1004);
static_assert(IDC_CONVERT == 1005 && IDC_EXIT == 1006 && IDC_BROWSE == 1007 && IDC_PROGRESS == 1008);
static_assert(IDC_HELP_BUTTON == 1011 && IDC_TOPMOST == 1012);
static_assert(IDC_MAIL_LINK == 1013 && IDC_SITE_LINK == 1014);
static_assert(IDM_ABOUTBOX == 0x0010 && (IDM_ABOUTBOX & 0x000F) == 0, "system-menu ids keep their low four bits clear");

namespace restest {
namespace {

std::string Id(LPCWSTR value) {
    if (IS_INTRESOURCE(value)) return std::string("#").append(std::to_string(reinterpret_cast<ULONG_PTR>(value)));
    std::u16string text;
    for (const wchar_t* p = value; *p != 0; ++p) text.push_back(static_cast<char16_t>(*p));
    return Escape(text);
}

struct Inventory {
    std::vector<std::string> entries;   // "type name language"
    LPCWSTR currentType = nullptr;
    LPCWSTR currentName = nullptr;
};

BOOL CALLBACK OnLanguage(HMODULE, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR param) {
    auto* inventory = reinterpret_cast<Inventory*>(param);
    std::string shownName = Id(name);
    // Single icon and cursor images get their numbers from the resource
    // compiler; only the groups have fixed ones.
    if (type == MAKEINTRESOURCEW(kIconImage) || type == MAKEINTRESOURCEW(kCursorImage)) shownName = "(image)";
    char lang[8];
    std::snprintf(lang, sizeof lang, "%04X", static_cast<unsigned>(language));
    inventory->entries.push_back(Id(type) + " " + shownName + " " + lang);
    return TRUE;
}

BOOL CALLBACK OnName(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR param) {
    EnumResourceLanguagesW(module, type, name, OnLanguage, param);
    return TRUE;
}

BOOL CALLBACK OnType(HMODULE module, LPWSTR type, LONG_PTR param) {
    EnumResourceNamesW(module, type, OnName, param);
    return TRUE;
}

TEST(ResourceInventory, ExactlyTheProgramsResourcesAllJapanese) {
    Inventory inventory;
    EnumResourceTypesW(GetModuleHandleW(nullptr), OnType, reinterpret_cast<LONG_PTR>(&inventory));
    std::sort(inventory.entries.begin(), inventory.entries.end());
    // No menu, no accelerator table; one cursor beside the icon.
    std::vector<std::string> expected = {
        "#1 (image) 0411",      // RT_CURSOR
        "#12 #30982 0411",      // RT_GROUP_CURSOR
        "#14 #128 0411",        // RT_GROUP_ICON
        "#16 #1 0411",          // RT_VERSION
        "#2 #129 0411",         // RT_BITMAP
        "#24 #1 0411",          // RT_MANIFEST
        "#3 (image) 0411",      // RT_ICON
        "#5 #100 0411",         // RT_DIALOG
        "#5 #102 0411",
        "#6 #3585 0411",        // RT_STRING, block of 57344
        "#6 #7 0411",           // RT_STRING, block of 101 and 102
    };
    EXPECT_EQ(inventory.entries, expected);
}

} // namespace
} // namespace restest
