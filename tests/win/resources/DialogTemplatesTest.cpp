// The two dialog templates as the program file holds them: the header of
// each template and every control, in template order, compared with the
// layout the windows must have. Texts are given as code points (\u escapes)
// so that a script read in the wrong code page shows up here.

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <string>
#include <vector>

#include "tests/win/resources/ResourceReader.h"

namespace restest {
namespace {

// "ＭＳ Ｐゴシック": full-width M, S and P, a half-width space.
constexpr std::u16string_view kDialogFace = u"\uFF2D\uFF33 \uFF30\u30B4\u30B7\u30C3\u30AF";

struct ExpectedControl {
    std::uint32_t id;
    const char* windowClass;
    std::uint32_t style;
    std::u16string_view text;     // used when textOrdinal is 0
    std::uint16_t textOrdinal;    // resource number shown instead of a text
    std::int16_t x, y, cx, cy;
};

constexpr std::uint32_t kNoId32 = 0xFFFFFFFF;
constexpr std::uint32_t kNoId16 = 0xFFFF;

const ExpectedControl kMainControls[] = {
    {1000, "Edit", 0x50810080, u"", 0, 46, 7, 104, 14},
    {1007, "Button", 0x50000080, u"", 0, 152, 7, 14, 14},
    {1001, "Edit", 0x50810080, u"", 0, 46, 25, 104, 14},
    {1002, "Button", 0x50020009, u"\uFF11\u30D0\u30A4\u30C8\u578B", 0, 19, 60, 45, 10},    // １バイト型
    {1003, "Button", 0x50000009, u"\uFF12\u30D0\u30A4\u30C8\u578B", 0, 74, 60, 45, 10},    // ２バイト型
    {1004, "Button", 0x50000009, u"\uFF14\u30D0\u30A4\u30C8\u578B", 0, 129, 60, 45, 10},   // ４バイト型
    {1005, "Button", 0x58010001, u"\u5B9F\u884C", 0, 33, 130, 32, 14},                     // 実行
    {1011, "Button", 0x50010000, u"\u30D8\u30EB\u30D7", 0, 82, 130, 32, 14},               // ヘルプ
    {1006, "Button", 0x50010000, u"\u7D42\u4E86", 0, 131, 130, 32, 14},                    // 終了
    {kNoId32, "Static", 0x50020000, u"\u53C2\u7167\u5143\uFF8C\uFF67\uFF72\uFF99", 0, 7, 9, 38, 8},   // 参照元ﾌｧｲﾙ
    {kNoId32, "Static", 0x50020000, u"\u66F8\u8FBC\u5148\uFF8C\uFF67\uFF72\uFF99", 0, 7, 28, 38, 8},  // 書込先ﾌｧｲﾙ
    {kNoId32, "Button", 0x50000007, u"\u30C7\u30FC\u30BF\u7A2E\u985E", 0, 13, 46, 168, 33},           // データ種類
    {1008, "msctls_progress32", 0x50000000, u"Progress1", 0, 33, 107, 129, 14},
    {1012, "Button", 0x50010003,
     u"\u30A6\u30A3\u30F3\u30C9\u30A6\u3092\u6700\u524D\u9762\u306B\u51FA\u3059", 0, 52, 87, 90, 10},  // ウィンドウを最前面に出す
};

const ExpectedControl kAboutControls[] = {
    {kNoId16, "Static", 0x50001803, u"", 128, 14, 22, 20, 20},
    {kNoId16, "Static", 0x50020080, u"Arrayforge Ver1.05", 0, 38, 24, 89, 8},
    {kNoId16, "Static", 0x50020000, u"Copyright (C) 2026 Corvane", 0, 38, 35, 137, 8},
    {1, "Button", 0x50030001, u"OK", 0, 81, 117, 27, 14},
    {kNoId16, "Button", 0x50000007, u"", 0, 7, 7, 176, 102},
    {kNoId16, "Static", 0x50020000,
     u"\u672C\u30BD\u30D5\u30C8\u30A6\u30A7\u30A2\u306F\u7121\u6599"
     u"\u30BD\u30D5\u30C8\u30A6\u30A7\u30A2\u3067\u3059\u3002", 0, 37, 89, 114, 8},   // 本ソフトウェアは無料ソフトウェアです。
    {1013, "Static", 0x50020000, u"\u4F5C\u8005\u306B\u30E1\u30FC\u30EB", 0, 75, 51, 40, 8},   // 作者にメール
    {1014, "Static", 0x50020201, u"\u6700\u65B0\u7248\u5165\u624B", 0, 77, 65, 35, 8},          // 最新版入手
};

std::string Lower(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::string Geometry(std::int16_t x, std::int16_t y, std::int16_t cx, std::int16_t cy) {
    return std::to_string(x) + ", " + std::to_string(y) + ", " + std::to_string(cx) + ", " + std::to_string(cy);
}

DialogTemplate LoadTemplate(int id) {
    std::span<const std::uint8_t> raw = FindRawResource(kDialog, static_cast<WORD>(id));
    if (raw.empty()) throw std::runtime_error("no Japanese dialog template " + std::to_string(id));
    DialogTemplate dialog = ParseDialogTemplate(raw);
    // Nothing but padding may follow the last control.
    if (dialog.usedBytes > raw.size() || raw.size() - dialog.usedBytes >= 4)
        throw std::runtime_error("template " + std::to_string(id) + " holds " + std::to_string(raw.size()) +
                                 " bytes, its controls end at " + std::to_string(dialog.usedBytes));
    return dialog;
}

void ExpectControls(const DialogTemplate& dialog, std::span<const ExpectedControl> expected) {
    ASSERT_EQ(dialog.items.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
        const DialogItem& item = dialog.items[i];
        const ExpectedControl& want = expected[i];
        SCOPED_TRACE("control #" + std::to_string(i + 1) + " (id " + std::to_string(want.id) + ")");
        EXPECT_EQ(item.id, want.id);
        // The dialog manager resolves class names without regard to case.
        EXPECT_EQ(Lower(ClassName(item.windowClass)), Lower(want.windowClass));
        EXPECT_EQ(Hex32(item.style), Hex32(want.style));
        EXPECT_EQ(Hex32(item.exStyle), Hex32(0));
        EXPECT_EQ(item.helpId, 0u);
        if (want.textOrdinal != 0) {
            EXPECT_TRUE(item.title.isOrdinal);
            EXPECT_EQ(item.title.ordinal, want.textOrdinal);
        } else {
            EXPECT_FALSE(item.title.isOrdinal);
            EXPECT_EQ(Escape(item.title.text), Escape(want.text));
        }
        EXPECT_EQ(Geometry(item.x, item.y, item.cx, item.cy), Geometry(want.x, want.y, want.cx, want.cy));
        EXPECT_TRUE(item.creationData.empty());
    }
}

// Ids of the controls that carry a given style bit, in template order.
std::vector<std::uint32_t> IdsWithStyle(const DialogTemplate& dialog, std::uint32_t bit) {
    std::vector<std::uint32_t> ids;
    for (const DialogItem& item : dialog.items)
        if (item.style & bit) ids.push_back(item.id);
    return ids;
}

std::vector<std::uint32_t> DefaultButtons(const DialogTemplate& dialog) {
    std::vector<std::uint32_t> ids;
    for (const DialogItem& item : dialog.items)
        if (Lower(ClassName(item.windowClass)) == "button" && (item.style & 0x0F) == BS_DEFPUSHBUTTON)
            ids.push_back(item.id);
    return ids;
}

TEST(MainWindowTemplate, HeaderStylesGeometryCaptionAndFont) {
    DialogTemplate dialog = LoadTemplate(102);
    EXPECT_TRUE(dialog.extended) << "the main window needs the extended form (32-bit control ids)";
    EXPECT_EQ(dialog.helpId, 0u);
    EXPECT_EQ(Hex32(dialog.style), Hex32(0x90CA0AC4));
    EXPECT_EQ(Hex32(dialog.exStyle), Hex32(0x00040000));
    EXPECT_EQ(Geometry(dialog.x, dialog.y, dialog.cx, dialog.cy), Geometry(0, 0, 195, 151));
    EXPECT_TRUE(dialog.menu.IsNone());
    EXPECT_TRUE(dialog.windowClass.IsNone());
    EXPECT_EQ(Escape(dialog.title), "Arrayforge");
    ASSERT_TRUE(dialog.hasFont);
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(dialog.weight, 0);
    EXPECT_EQ(dialog.italic, 0);
    EXPECT_EQ(dialog.charset, 1);
    EXPECT_EQ(Escape(dialog.typeface), Escape(kDialogFace));
}

TEST(MainWindowTemplate, ControlsInTemplateOrder) {
    ExpectControls(LoadTemplate(102), kMainControls);
}

TEST(MainWindowTemplate, TabStopsGroupsAndDefaultButton) {
    DialogTemplate dialog = LoadTemplate(102);
    EXPECT_EQ(IdsWithStyle(dialog, WS_TABSTOP), (std::vector<std::uint32_t>{1000, 1001, 1005, 1011, 1006, 1012}));
    EXPECT_EQ(IdsWithStyle(dialog, WS_GROUP), (std::vector<std::uint32_t>{1002, kNoId32, kNoId32}));
    EXPECT_EQ(IdsWithStyle(dialog, WS_DISABLED), (std::vector<std::uint32_t>{1005}));
    EXPECT_EQ(DefaultButtons(dialog), (std::vector<std::uint32_t>{1005}));
    for (const DialogItem& item : dialog.items) {
        EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE), static_cast<std::uint32_t>(WS_CHILD | WS_VISIBLE));
        EXPECT_NE(item.id, static_cast<std::uint32_t>(IDOK));
        EXPECT_NE(item.id, static_cast<std::uint32_t>(IDCANCEL));
    }
}

TEST(AboutBoxTemplate, HeaderStylesGeometryCaptionAndFont) {
    DialogTemplate dialog = LoadTemplate(100);
    EXPECT_FALSE(dialog.extended) << "the About box uses the classic form (16-bit control ids)";
    EXPECT_EQ(Hex32(dialog.style), Hex32(0x80C800C0));
    EXPECT_EQ(Hex32(dialog.exStyle), Hex32(0));
    EXPECT_EQ(Geometry(dialog.x, dialog.y, dialog.cx, dialog.cy), Geometry(0, 0, 190, 138));
    EXPECT_TRUE(dialog.menu.IsNone());
    EXPECT_TRUE(dialog.windowClass.IsNone());
    // ﾊﾞｰｼﾞｮﾝ情報 in half-width katakana
    EXPECT_EQ(Escape(dialog.title), Escape(u"\uFF8A\uFF9E\uFF70\uFF7C\uFF9E\uFF6E\uFF9D\u60C5\u5831"));
    ASSERT_TRUE(dialog.hasFont);
    EXPECT_EQ(dialog.pointSize, 9);
    EXPECT_EQ(Escape(dialog.typeface), Escape(kDialogFace));
}

TEST(AboutBoxTemplate, ControlsInTemplateOrder) {
    ExpectControls(LoadTemplate(100), kAboutControls);
}

TEST(AboutBoxTemplate, OkIsTheOnlyTabStopAndLinksStayPlainTextStatics) {
    DialogTemplate dialog = LoadTemplate(100);
    EXPECT_EQ(IdsWithStyle(dialog, WS_TABSTOP), (std::vector<std::uint32_t>{IDOK}));
    EXPECT_EQ(DefaultButtons(dialog), (std::vector<std::uint32_t>{IDOK}));
    for (const DialogItem& item : dialog.items) {
        EXPECT_EQ(item.style & (WS_CHILD | WS_VISIBLE), static_cast<std::uint32_t>(WS_CHILD | WS_VISIBLE));
        EXPECT_NE(item.id, static_cast<std::uint32_t>(IDCANCEL));
        if (item.id == 1013 || item.id == 1014) {
            SCOPED_TRACE("link " + std::to_string(item.id));
            // The link control colours only statics whose low style byte is a
            // plain alignment, and claims the mouse itself.
            EXPECT_LE(item.style & 0xFF, 2u);
            EXPECT_EQ(item.style & SS_NOTIFY, 0u);
        }
    }
}

} // namespace
} // namespace restest
