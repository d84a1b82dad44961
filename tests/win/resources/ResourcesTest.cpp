// The program's resources, read back from the running test program, which
// links the same compiled script: the two dialog templates, the string table,
// the version record, the manifest and the images. Japanese texts are written
// as escapes: code points for UTF-16, code page 932 bytes for the "A" loader.

#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <span>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace {

std::span<const std::uint8_t> Resource(WORD type, WORD id) {
    HMODULE self = GetModuleHandleW(nullptr);
    HRSRC found = FindResourceExW(self, MAKEINTRESOURCEW(type), MAKEINTRESOURCEW(id),
                                  MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT));
    if (found == nullptr)
        throw std::runtime_error("no Japanese resource " + std::to_string(id) + " of type " + std::to_string(type));
    return {static_cast<const std::uint8_t*>(LockResource(LoadResource(self, found))), SizeofResource(self, found)};
}

std::string Hex(std::uint32_t value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

// Little-endian reader over a DLGTEMPLATE or DLGTEMPLATEEX.
struct Reader {
    std::span<const std::uint8_t> data;
    std::size_t at = 0;

    template <typename T>
    T Read() {
        if (at + sizeof(T) > data.size()) throw std::runtime_error("template cut short");
        T value;
        std::memcpy(&value, data.data() + at, sizeof value);
        at += sizeof value;
        return value;
    }
    // A text, or a number stored after 0xFFFF (given as "#number").
    std::u16string Text() {
        std::u16string text;
        char16_t first = Read<char16_t>();
        if (first == 0xFFFF) {
            text.push_back(u'#');
            for (char digit : std::to_string(Read<std::uint16_t>())) text.push_back(static_cast<char16_t>(digit));
            return text;
        }
        for (char16_t c = first; c != 0; c = Read<char16_t>()) text.push_back(c);
        return text;
    }
};

// Class names as the dialog manager matches them: without regard to case,
// with the predefined numbers standing for their names.
std::u16string ClassName(std::u16string stored) {
    if (stored == u"#128") return u"button";
    if (stored == u"#129") return u"edit";
    if (stored == u"#130") return u"static";
    for (char16_t& c : stored)
        if (c >= u'A' && c <= u'Z') c = static_cast<char16_t>(c - u'A' + u'a');
    return stored;
}

struct Box {
    std::int16_t x, y, cx, cy;
    bool operator==(const Box&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Box& box) {
    return out << box.x << ", " << box.y << ", " << box.cx << ", " << box.cy;
}

struct Control {
    std::uint32_t id = 0;
    std::u16string windowClass;
    std::uint32_t style = 0;
    std::u16string text;
    Box box = {};
    std::uint32_t exStyle = 0;
    std::uint32_t helpId = 0;
    bool operator==(const Control&) const = default;
};

void PrintTo(const Control& c, std::ostream* out) {
    *out << c.id << " " << testing::PrintToString(c.windowClass) << " " << Hex(c.style) << " "
         << testing::PrintToString(c.text) << " " << c.box << " ex " << Hex(c.exStyle) << " help " << c.helpId;
}

struct Header {
    bool extended = false;   // 32-bit control ids, help ids, font weight and character set
    std::uint32_t helpId = 0, exStyle = 0, style = 0;
    Box box = {};
    std::u16string menu = {}, windowClass = {}, caption;
    std::uint16_t pointSize = 0, weight = 0;
    std::uint8_t italic = 0, charset = 0;
    std::u16string face;
    bool operator==(const Header&) const = default;
};

void PrintTo(const Header& h, std::ostream* out) {
    *out << (h.extended ? "extended" : "classic") << " help " << h.helpId << " " << Hex(h.style) << " ex "
         << Hex(h.exStyle) << " " << h.box << " menu " << testing::PrintToString(h.menu) << " class "
         << testing::PrintToString(h.windowClass) << " caption " << testing::PrintToString(h.caption) << " font "
         << h.pointSize << " " << h.weight << " " << int{h.italic} << " " << int{h.charset} << " "
         << testing::PrintToString(h.face);
}

struct Dialog {
    Header header;
    std::vector<Control> controls;
};

Dialog ReadDialog(WORD id) {
    Reader in{Resource(5, id)};
    Dialog dialog;
    Header& h = dialog.header;
    std::uint32_t first = in.Read<std::uint32_t>();
    h.extended = first == 0xFFFF0001;   // version 1, signature 0xFFFF
    if (h.extended) {
        h.helpId = in.Read<std::uint32_t>();
        h.exStyle = in.Read<std::uint32_t>();
        h.style = in.Read<std::uint32_t>();
    } else {
        h.style = first;
        h.exStyle = in.Read<std::uint32_t>();
    }
    std::uint16_t count = in.Read<std::uint16_t>();
    h.box = in.Read<Box>();
    h.menu = in.Text();
    h.windowClass = in.Text();
    h.caption = in.Text();
    if (h.style & DS_SETFONT) {
        h.pointSize = in.Read<std::uint16_t>();
        if (h.extended) {
            h.weight = in.Read<std::uint16_t>();
            h.italic = in.Read<std::uint8_t>();
            h.charset = in.Read<std::uint8_t>();
        }
        h.face = in.Text();
    }
    for (std::uint16_t i = 0; i < count; ++i) {
        in.at = (in.at + 3) & ~std::size_t{3};   // each control starts on a DWORD boundary
        Control control;
        if (h.extended) {
            control.helpId = in.Read<std::uint32_t>();
            control.exStyle = in.Read<std::uint32_t>();
            control.style = in.Read<std::uint32_t>();
        } else {
            control.style = in.Read<std::uint32_t>();
            control.exStyle = in.Read<std::uint32_t>();
        }
        control.box = in.Read<Box>();
        control.id = h.extended ? in.Read<std::uint32_t>() : in.Read<std::uint16_t>();
        control.windowClass = ClassName(in.Text());
        control.text = in.Text();
        in.at += in.Read<std::uint16_t>();   // creation data
        dialog.controls.push_back(control);
    }
    return dialog;
}

constexpr std::uint32_t kNoId = 0xFFFFFFFF;   // 0xFFFF in a classic template
constexpr char16_t kFace[] = u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF";   // ＭＳ Ｐゴシック

// Class names in lower case, as ClassName() gives them.
const Control kMainControls[] = {
    {1000, u"edit", 0x50810080, u"", {46, 7, 104, 14}},
    {1007, u"button", 0x50000080, u"", {152, 7, 14, 14}},
    {1001, u"edit", 0x50810080, u"", {46, 25, 104, 14}},
    {1002, u"button", 0x50020009, u"\uFF11\u30D0\u30A4\u30C8\u578B", {19, 60, 45, 10}},    // １バイト型
    {1003, u"button", 0x50000009, u"\uFF12\u30D0\u30A4\u30C8\u578B", {74, 60, 45, 10}},    // ２バイト型
    {1004, u"button", 0x50000009, u"\uFF14\u30D0\u30A4\u30C8\u578B", {129, 60, 45, 10}},   // ４バイト型
    {1005, u"button", 0x58010001, u"\u5B9F\u884C", {33, 130, 32, 14}},                     // 実行
    {1011, u"button", 0x50010000, u"\u30D8\u30EB\u30D7", {82, 130, 32, 14}},               // ヘルプ
    {1006, u"button", 0x50010000, u"\u7D42\u4E86", {131, 130, 32, 14}},                    // 終了
    {kNoId, u"static", 0x50020000, u"\u53C2\u7167\u5143\uFF8C\uFF67\uFF72\uFF99", {7, 9, 38, 8}},    // 参照元ﾌｧｲﾙ
    {kNoId, u"static", 0x50020000, u"\u66F8\u8FBC\u5148\uFF8C\uFF67\uFF72\uFF99", {7, 28, 38, 8}},   // 書込先ﾌｧｲﾙ
    {kNoId, u"button", 0x50000007, u"\u30C7\u30FC\u30BF\u7A2E\u985E", {13, 46, 168, 33}},            // データ種類
    {1008, u"msctls_progress32", 0x50000000, u"Progress1", {33, 107, 129, 14}},
    // ウィンドウを最前面に出す
    {1012, u"button", 0x50010003, u"\u30A6\u30A3\u30F3\u30C9\u30A6\u3092\u6700\u524D\u9762\u306B\u51FA\u3059",
     {52, 87, 90, 10}},
};

const Control kAboutControls[] = {
    {0xFFFF, u"static", 0x50001803, u"#128", {14, 22, 20, 20}},   // icon 128
    {0xFFFF, u"static", 0x50020080, u"Arrayforge Ver1.05", {38, 24, 89, 8}},
    {0xFFFF, u"static", 0x50020000, u"Copyright (C) 2026 Corvane", {38, 35, 137, 8}},
    {IDOK, u"button", 0x50030001, u"OK", {81, 117, 27, 14}},
    {0xFFFF, u"button", 0x50000007, u"", {7, 7, 176, 102}},
    // 本ソフトウェアは無料ソフトウェアです。
    {0xFFFF, u"static", 0x50020000,
     u"\u672C\u30BD\u30D5\u30C8\u30A6\u30A7\u30A2\u306F\u7121\u6599\u30BD\u30D5\u30C8\u30A6\u30A7\u30A2\u3067\u3059\u3002",
     {37, 89, 114, 8}},
    {1013, u"static", 0x50020000, u"\u4F5C\u8005\u306B\u30E1\u30FC\u30EB", {75, 51, 40, 8}},   // 作者にメール
    {1014, u"static", 0x50020201, u"\u6700\u65B0\u7248\u5165\u624B", {77, 65, 35, 8}},          // 最新版入手
};

struct TemplateCase {
    WORD id;
    Header header;
    std::span<const Control> controls;
};

const TemplateCase kTemplates[] = {
    {102,
     {.extended = true, .exStyle = 0x00040000, .style = 0x90CA0AC4, .box = {0, 0, 195, 151},
      .caption = u"Arrayforge", .pointSize = 9, .charset = 1, .face = kFace},
     kMainControls},
    {100,
     {.style = 0x80C800C0, .box = {0, 0, 190, 138},
      .caption = u"\uFF8A\uFF9E\uFF70\uFF7C\uFF9E\uFF6E\uFF9D\u60C5\u5831",   // ﾊﾞｰｼﾞｮﾝ情報
      .pointSize = 9, .face = kFace},
     kAboutControls},
};

TEST(DialogTemplates, HeaderAndEveryControlInOrder) {
    for (const TemplateCase& want : kTemplates) {
        SCOPED_TRACE("template " + std::to_string(want.id));
        Dialog dialog = ReadDialog(want.id);
        EXPECT_EQ(dialog.header, want.header);
        ASSERT_EQ(dialog.controls.size(), want.controls.size());
        for (std::size_t i = 0; i < want.controls.size(); ++i)
            EXPECT_EQ(dialog.controls[i], want.controls[i]) << "control #" << i + 1;
    }
}

TEST(StringTable, AnsiLoaderGivesCodePage932Bytes) {
    ASSERT_EQ(GetACP(), 932u) << "run the test with a Japanese locale (LANG=ja_JP.UTF-8 under Wine)";
    const std::pair<UINT, std::string_view> kStrings[] = {
        {101, "\xCA\xDE\xB0\xBC\xDE\xAE\xDD\x8F\xEE\x95\xF1(&A)..."},   // ﾊﾞｰｼﾞｮﾝ情報(&A)...
        {102, "\xCC\xA7\xB2\xD9\x82\xF0\x8A\x4A\x82\xAD"},             // ﾌｧｲﾙを開く
        {57344, "Arrayforge"},
    };
    for (const auto& [id, text] : kStrings) {
        char buffer[256] = {};
        int length = LoadStringA(GetModuleHandleW(nullptr), id, buffer, sizeof buffer);
        EXPECT_EQ(std::string(buffer, static_cast<std::size_t>(length)), text) << "string " << id;
    }
}

TEST(VersionRecord, FixedPartTranslationAndStrings) {
    wchar_t path[MAX_PATH] = {};
    ASSERT_NE(GetModuleFileNameW(nullptr, path, MAX_PATH), 0u);
    std::vector<std::uint8_t> block(GetFileVersionInfoSizeW(path, nullptr));
    ASSERT_TRUE(GetFileVersionInfoW(path, 0, block.size(), block.data())) << "no version record";
    auto query = [&block](const std::wstring& subBlock) -> std::span<const std::uint8_t> {
        void* value = nullptr;
        UINT length = 0;
        if (!VerQueryValueW(block.data(), subBlock.c_str(), &value, &length)) return {};
        return {static_cast<const std::uint8_t*>(value), length};
    };

    std::span<const std::uint8_t> fixed = query(L"\\");
    ASSERT_EQ(fixed.size(), sizeof(VS_FIXEDFILEINFO));
    const auto& info = *reinterpret_cast<const VS_FIXEDFILEINFO*>(fixed.data());
    EXPECT_EQ(Hex(info.dwFileVersionMS), Hex(0x00010000));      // 1.0.5.1
    EXPECT_EQ(Hex(info.dwFileVersionLS), Hex(0x00050001));
    EXPECT_EQ(Hex(info.dwProductVersionMS), Hex(0x00010000));
    EXPECT_EQ(Hex(info.dwProductVersionLS), Hex(0x00050001));
    EXPECT_EQ(Hex(info.dwFileFlagsMask), Hex(0x3F));
    EXPECT_EQ(Hex(info.dwFileFlags), Hex(0x28));                // private build, special build
    EXPECT_EQ(Hex(info.dwFileOS), Hex(VOS__WINDOWS32));
    EXPECT_EQ(Hex(info.dwFileType), Hex(VFT_APP));
    EXPECT_EQ(info.dwFileSubtype, 0u);
    EXPECT_EQ(info.dwFileDateMS, 0u);
    EXPECT_EQ(info.dwFileDateLS, 0u);

    std::span<const std::uint8_t> translation = query(L"\\VarFileInfo\\Translation");
    EXPECT_EQ(std::vector<std::uint8_t>(translation.begin(), translation.end()),
              (std::vector<std::uint8_t>{0x11, 0x04, 0xB0, 0x04}));   // Japanese, UTF-16

    const std::pair<const wchar_t*, std::u16string> kValues[] = {
        // バイナリデータのC(C++)ソース化プログラム
        {L"Comments", u"\u30D0\u30A4\u30CA\u30EA\u30C7\u30FC\u30BF\u306E" u"C(C++)"
                      u"\u30BD\u30FC\u30B9\u5316\u30D7\u30ED\u30B0\u30E9\u30E0"},
        {L"CompanyName", u"Corvane"},
        {L"FileDescription", u"Arrayforge"},
        {L"FileVersion", u"1, 0, 5, 1"},
        {L"InternalName", u"Tabulo"},
        {L"LegalCopyright", u"Copyright (C) 2026 Corvane. All rights reserved."},
        {L"LegalTrademarks", u"Corvane"},
        {L"OriginalFilename", u"Tabulo.exe"},
        {L"PrivateBuild", u" "},
        {L"ProductName", u"Arrayforge"},
        {L"ProductVersion", u"1, 0, 5, 1"},
        {L"SpecialBuild", u" "},
    };
    for (const auto& [key, text] : kValues) {
        std::span<const std::uint8_t> value = query(std::wstring(L"\\StringFileInfo\\041104b0\\") + key);
        const char16_t* stored = value.empty() ? u"(none)" : reinterpret_cast<const char16_t*>(value.data());
        EXPECT_EQ(std::u16string(stored), text) << testing::PrintToString(key);
    }
}

TEST(ApplicationManifest, AsksForCommonControls6AndHighestAvailableRights) {
    std::span<const std::uint8_t> raw = Resource(24, 1);
    std::string text(raw.begin(), raw.end());
    const char* const kRequired[] = {
        R"(<assembly xmlns="urn:schemas-microsoft-com:asm.v1" manifestVersion="1.0">)",
        R"(version="1.0.4.1")",
        R"(name="Corvane.Arrayforge.Arrayforge")",
        R"(name="Microsoft.Windows.Common-Controls")",
        R"(version="6.0.0.0")",
        R"(publicKeyToken="6595b64144ccf1df")",
        R"(<trustInfo xmlns="urn:schemas-microsoft-com:asm.v3">)",
        R"(<requestedExecutionLevel level="highestAvailable" uiAccess="false"/>)",
    };
    for (const char* required : kRequired) EXPECT_NE(text.find(required), std::string::npos) << required;
}

TEST(Images, IconBitmapAndCursor) {
    std::span<const std::uint8_t> group = Resource(14, 128);
    ASSERT_GE(group.size(), 6u + 14u);
    EXPECT_EQ(group[4] | group[5] << 8, 1) << "images in the icon group";
    WORD iconId = static_cast<WORD>(group[18] | group[19] << 8);
    const auto* icon = reinterpret_cast<const BITMAPINFOHEADER*>(Resource(3, iconId).data());
    EXPECT_EQ(icon->biWidth, 32);
    EXPECT_EQ(icon->biHeight, 64);   // colour rows and mask rows
    EXPECT_EQ(icon->biBitCount, 4);

    const auto* bitmap = reinterpret_cast<const BITMAPINFOHEADER*>(Resource(2, 129).data());
    EXPECT_EQ(bitmap->biWidth, 16);
    EXPECT_EQ(bitmap->biHeight, 16);
    EXPECT_EQ(bitmap->biBitCount, 4);
    EXPECT_EQ(bitmap->biCompression, static_cast<DWORD>(BI_RGB));

    EXPECT_NE(LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(30982)), nullptr);
}

} // namespace
