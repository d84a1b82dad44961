// The string table, the version record and the application manifest of the
// program file. Japanese texts are written as escapes: code points for the
// UTF-16 forms, code page 932 bytes for what the "A" functions hand out.

#include <gtest/gtest.h>

#include <algorithm>
#include <cwctype>
#include <string>
#include <vector>

#include "tests/win/resources/ResourceReader.h"

namespace restest {
namespace {

HMODULE Self() { return GetModuleHandleW(nullptr); }

std::u16string LoadWide(UINT id) {
    wchar_t buffer[512] = {};
    int length = LoadStringW(Self(), id, buffer, 512);
    return std::u16string(reinterpret_cast<const char16_t*>(buffer), static_cast<std::size_t>(length));
}

std::string LoadAnsi(UINT id) {
    char buffer[512] = {};
    int length = LoadStringA(Self(), id, buffer, 512);
    return std::string(buffer, static_cast<std::size_t>(length));
}

// ----------------------------------------------------------------------------
// String table

struct ExpectedString {
    UINT id;
    std::u16string_view text;
    std::string_view cp932;
};

const ExpectedString kStrings[] = {
    // ﾊﾞｰｼﾞｮﾝ情報(&A)...
    {101, u"\uFF8A\uFF9E\uFF70\uFF7C\uFF9E\uFF6E\uFF9D\u60C5\u5831(&A)...",
     "\xCA\xDE\xB0\xBC\xDE\xAE\xDD\x8F\xEE\x95\xF1(&A)..."},
    // ﾌｧｲﾙを開く
    {102, u"\uFF8C\uFF67\uFF72\uFF99\u3092\u958B\u304F", "\xCC\xA7\xB2\xD9\x82\xF0\x8A\x4A\x82\xAD"},
    {57344, u"Arrayforge", "Arrayforge"},
};

TEST(StringTable, EntriesHoldTheirExactCodePoints) {
    for (const ExpectedString& want : kStrings) {
        SCOPED_TRACE("string " + std::to_string(want.id));
        EXPECT_EQ(Escape(LoadWide(want.id)), Escape(want.text));
    }
}

TEST(StringTable, AnsiLoadGivesCodePage932Bytes) {
    ASSERT_EQ(GetACP(), 932u) << "run the test with a Japanese locale (LANG=ja_JP.UTF-8 under Wine)";
    for (const ExpectedString& want : kStrings) {
        SCOPED_TRACE("string " + std::to_string(want.id));
        EXPECT_EQ(EscapeBytes(LoadAnsi(want.id)), EscapeBytes(want.cp932));
    }
}

TEST(StringTable, BlocksHoldNoOtherEntries) {
    // Strings are stored in blocks of sixteen; ids 96..111 and 57344..57359
    // share blocks with the program's entries.
    for (UINT first : {96u, 57344u}) {
        for (UINT id = first; id < first + 16; ++id) {
            bool wanted = std::any_of(std::begin(kStrings), std::end(kStrings),
                                      [id](const ExpectedString& s) { return s.id == id; });
            if (!wanted) {
                EXPECT_EQ(Escape(LoadWide(id)), "") << "string " << id;
            }
        }
    }
}

// ----------------------------------------------------------------------------
// Version record

struct ExpectedValue {
    std::u16string_view key;
    std::u16string_view text;
};

// In the order the record must hold them.
const ExpectedValue kVersionStrings[] = {
    // バイナリデータのC(C++)ソース化プログラム
    {u"Comments", u"\u30D0\u30A4\u30CA\u30EA\u30C7\u30FC\u30BF\u306E" u"C(C++)"
                  u"\u30BD\u30FC\u30B9\u5316\u30D7\u30ED\u30B0\u30E9\u30E0"},
    {u"CompanyName", u"Corvane"},
    {u"FileDescription", u"Arrayforge"},
    {u"FileVersion", u"1, 0, 5, 1"},
    {u"InternalName", u"Tabulo"},
    {u"LegalCopyright", u"Copyright (C) 2026 Corvane. All rights reserved."},
    {u"LegalTrademarks", u"Corvane"},
    {u"OriginalFilename", u"Tabulo.exe"},
    {u"PrivateBuild", u" "},
    {u"ProductName", u"Arrayforge"},
    {u"ProductVersion", u"1, 0, 5, 1"},
    {u"SpecialBuild", u" "},
};

class VersionRecord : public ::testing::Test {
protected:
    void SetUp() override {
        wchar_t path[MAX_PATH] = {};
        ASSERT_NE(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
        DWORD handle = 0;
        DWORD size = GetFileVersionInfoSizeW(path, &handle);
        ASSERT_NE(size, 0u) << "no version record, error " << GetLastError();
        m_block.resize(size);
        ASSERT_TRUE(GetFileVersionInfoW(path, 0, size, m_block.data()));
    }

    // The value at a VerQueryValueW path, or nothing.
    std::span<const std::uint8_t> Query(const wchar_t* subBlock) {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(m_block.data(), subBlock, &value, &length) || value == nullptr) return {};
        return {static_cast<const std::uint8_t*>(value), length};
    }

    std::vector<std::uint8_t> m_block;
};

TEST_F(VersionRecord, FixedPart) {
    std::span<const std::uint8_t> raw = Query(L"\\");
    ASSERT_EQ(raw.size(), sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO info;
    std::copy(raw.begin(), raw.end(), reinterpret_cast<std::uint8_t*>(&info));
    EXPECT_EQ(Hex32(info.dwSignature), Hex32(0xFEEF04BD));
    EXPECT_EQ(Hex32(info.dwFileVersionMS), Hex32(0x00010000));      // 1.0
    EXPECT_EQ(Hex32(info.dwFileVersionLS), Hex32(0x00050001));      // .5.1
    EXPECT_EQ(Hex32(info.dwProductVersionMS), Hex32(0x00010000));
    EXPECT_EQ(Hex32(info.dwProductVersionLS), Hex32(0x00050001));
    EXPECT_EQ(Hex32(info.dwFileFlagsMask), Hex32(0x3F));
    EXPECT_EQ(Hex32(info.dwFileFlags), Hex32(0x28));                // private build, special build
    EXPECT_EQ(Hex32(info.dwFileOS), Hex32(0x4));                    // VOS__WINDOWS32
    EXPECT_EQ(Hex32(info.dwFileType), Hex32(0x1));                  // VFT_APP
    EXPECT_EQ(info.dwFileSubtype, 0u);
    EXPECT_EQ(info.dwFileDateMS, 0u);
    EXPECT_EQ(info.dwFileDateLS, 0u);
}

TEST_F(VersionRecord, TranslationIsJapaneseUnicode) {
    std::span<const std::uint8_t> raw = Query(L"\\VarFileInfo\\Translation");
    ASSERT_EQ(raw.size(), 4u);
    EXPECT_EQ(raw[0] | (raw[1] << 8), 0x0411);
    EXPECT_EQ(raw[2] | (raw[3] << 8), 0x04B0);
}

TEST_F(VersionRecord, StringsThroughTheVersionFunctions) {
    for (const ExpectedValue& want : kVersionStrings) {
        std::wstring path = L"\\StringFileInfo\\041104b0\\";
        path.append(want.key.begin(), want.key.end());
        SCOPED_TRACE(Escape(want.key));
        std::span<const std::uint8_t> raw = Query(path.c_str());
        ASSERT_FALSE(raw.empty()) << "missing";
        const char16_t* text = reinterpret_cast<const char16_t*>(raw.data());
        EXPECT_EQ(Escape(std::u16string(text)), Escape(want.text));
    }
}

TEST(VersionRecordLayout, OneJapaneseStringTableWithTheEntriesInOrder) {
    std::span<const std::uint8_t> raw = FindRawResource(kVersion, 1);
    ASSERT_FALSE(raw.empty()) << "no Japanese version resource 1";
    VersionNode root = ParseVersionRecord(raw);
    EXPECT_EQ(Escape(root.key), "VS_VERSION_INFO");
    EXPECT_EQ(root.value.size(), sizeof(VS_FIXEDFILEINFO));

    std::vector<std::string> blocks;
    for (const VersionNode& child : root.children) blocks.push_back(Escape(child.key));
    EXPECT_EQ(blocks, (std::vector<std::string>{"StringFileInfo", "VarFileInfo"}));

    const VersionNode* strings = root.Child(u"StringFileInfo");
    ASSERT_NE(strings, nullptr);
    ASSERT_EQ(strings->children.size(), 1u);
    const VersionNode& table = strings->children[0];
    EXPECT_EQ(Escape(table.key), "041104b0");

    std::vector<std::string> keys, wantKeys;
    for (const VersionNode& entry : table.children) keys.push_back(Escape(entry.key));
    for (const ExpectedValue& want : kVersionStrings) wantKeys.push_back(Escape(want.key));
    EXPECT_EQ(keys, wantKeys);

    for (const VersionNode& entry : table.children) {
        SCOPED_TRACE(Escape(entry.key));
        EXPECT_EQ(entry.type, 1) << "text value";
        // One terminator, not two: the length counts the text and its NUL.
        EXPECT_EQ(entry.valueLength, entry.Text().size() + 1);
    }

    const VersionNode* variables = root.Child(u"VarFileInfo");
    ASSERT_NE(variables, nullptr);
    ASSERT_EQ(variables->children.size(), 1u);
    EXPECT_EQ(Escape(variables->children[0].key), "Translation");
    EXPECT_EQ(variables->children[0].value, (std::vector<std::uint8_t>{0x11, 0x04, 0xB0, 0x04}));
}

// ----------------------------------------------------------------------------
// Application manifest

const XmlElement& Only(const XmlElement& parent, std::string_view name) {
    std::vector<const XmlElement*> found = parent.Children(name);
    if (found.size() != 1)
        throw std::runtime_error("<" + parent.name + "> holds " + std::to_string(found.size()) + " <" +
                                 std::string(name) + "> elements, not one");
    return *found[0];
}

std::map<std::string, std::string> Attributes(std::initializer_list<std::pair<const std::string, std::string>> list) {
    return std::map<std::string, std::string>(list);
}

TEST(ApplicationManifest, DeclaresIdentityCommonControls6AndExecutionLevel) {
    std::span<const std::uint8_t> raw = FindRawResource(kManifest, 1);
    ASSERT_FALSE(raw.empty()) << "no Japanese manifest resource 1";
    XmlDocument document = ParseXml(std::string_view(reinterpret_cast<const char*>(raw.data()), raw.size()));

    EXPECT_EQ(document.declaration,
              Attributes({{"version", "1.0"}, {"encoding", "UTF-8"}, {"standalone", "yes"}}));

    const XmlElement& assembly = document.root;
    EXPECT_EQ(assembly.name, "assembly");
    EXPECT_EQ(assembly.attributes,
              Attributes({{"xmlns", "urn:schemas-microsoft-com:asm.v1"}, {"manifestVersion", "1.0"}}));

    EXPECT_EQ(Only(assembly, "assemblyIdentity").attributes,
              Attributes({{"version", "1.0.4.1"},
                          {"processorArchitecture", "X86"},
                          {"name", "Corvane.Arrayforge.Arrayforge"},
                          {"type", "win32"}}));
    EXPECT_EQ(Only(assembly, "description").text, "Arrayforge");

    const XmlElement& dependent = Only(Only(assembly, "dependency"), "dependentAssembly");
    EXPECT_EQ(Only(dependent, "assemblyIdentity").attributes,
              Attributes({{"type", "win32"},
                          {"name", "Microsoft.Windows.Common-Controls"},
                          {"version", "6.0.0.0"},
                          {"processorArchitecture", "X86"},
                          {"publicKeyToken", "6595b64144ccf1df"},
                          {"language", "*"}}));

    const XmlElement& trust = Only(assembly, "trustInfo");
    EXPECT_EQ(trust.attributes, Attributes({{"xmlns", "urn:schemas-microsoft-com:asm.v3"}}));
    const XmlElement& level = Only(Only(Only(trust, "security"), "requestedPrivileges"), "requestedExecutionLevel");
    EXPECT_EQ(level.attributes, Attributes({{"level", "highestAvailable"}, {"uiAccess", "false"}}));
}

TEST(ApplicationManifest, ProcessGetsCommonControlsFromTheSideBySideStore) {
    // The version that comctl32 reports says nothing (Wine's v6 reports 5.81);
    // where the loader took the module from tells which one the manifest got.
    HMODULE controls = LoadLibraryW(L"comctl32.dll");
    ASSERT_NE(controls, nullptr);
    wchar_t path[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameW(controls, path, MAX_PATH), 0u);
    std::wstring lower(path);
    std::transform(lower.begin(), lower.end(), lower.begin(), [](wchar_t c) { return static_cast<wchar_t>(std::towlower(c)); });
    std::u16string shown(lower.begin(), lower.end());
    EXPECT_NE(lower.find(L"\\winsxs\\"), std::wstring::npos) << Escape(shown);
    EXPECT_NE(lower.find(L"6.0."), std::wstring::npos) << Escape(shown);
    FreeLibrary(controls);
}

} // namespace
} // namespace restest
