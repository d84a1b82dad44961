#pragma once

// Every text the program shows, in one place. This file is UTF-8; the
// compiler is told to store string literals in code page 932
// (-fexec-charset=CP932, /execution-charset:.932), so these are the bytes
// the program hands to Windows.

#include <string_view>

namespace texts {

inline constexpr std::string_view kAppTitle = "Arrayforge";

// The texts the command-line front end may print are written once here and
// stored twice: in code page 932, as the program uses them, and in UTF-8,
// for a system that cannot convert code page 932 itself (base/SystemText.h).
// (The continuation marks line up by the texts' display width.)
// clang-format off
#define ARRAYFORGE_PRINTED_TEXTS(TEXT)                                            \
    TEXT(kErrorCaption, "エラー")                                                 \
    /* The conversion run. */                                                     \
    TEXT(kOverwriteQuestion, "書込先ﾌｧｲﾙが存在します。\n上書きしていいですか？") \
    TEXT(kInputNotFound, "ﾌｧｲﾙが見つかりません")                                  \
    TEXT(kOutputDiskFull, "ﾃﾞｨｽｸに空き領域がありません。")                        \
    TEXT(kOutputBadPath, "書き出しﾌｧｲﾙ名が不正です。")                            \
    TEXT(kOutputSharingViolation, "ﾌｧｲﾙの共有違反です。")                         \
    TEXT(kOutputAccessDenied, "ﾌｧｲﾙが書き込み禁止です。")                         \
    TEXT(kFileWritten, "ﾌｧｲﾙを書き込みました。")                                  \
    TEXT(kInputChanged, "読込元ﾌｧｲﾙが読み込み中に変更されました。")               \
    /* The error report for failures that escape a command. */                   \
    TEXT(kUntitledFile, "無題のﾌｧｲﾙ")                                             \
    TEXT(kOutOfMemory, "ﾒﾓﾘが不足しています。")

// The error report's text for each file failure, by FileErrorCause (the
// order of the enumeration).
#define ARRAYFORGE_FILE_ERROR_TEXTS(TEXT)                               \
    TEXT("ｴﾗｰはありませんでした。")                                     \
    TEXT("%1 へのｱｸｾｽ中に不明なｴﾗｰが発生しました。")                   \
    TEXT("%1 が見つかりませんでした。")                                 \
    TEXT("%1 には無効なﾊﾟｽが含まれています。")                         \
    TEXT("開いているﾌｧｲﾙが多すぎるため、%1 を開けませんでした。")       \
    TEXT("%1 へのｱｸｾｽは拒否されました。")                               \
    TEXT("%1 へ無効なﾌｧｲﾙ ﾊﾝﾄﾞﾙが関連付けられていました。")             \
    TEXT("現在のﾃﾞｨﾚｸﾄﾘ %1 は削除できませんでした。")                   \
    TEXT("%1 を作成できませんでした。そのﾃﾞｨﾚｸﾄﾘはいっぱいです。")       \
    TEXT("%1 のｼｰｸに失敗しました。")                                    \
    TEXT("%1 へのｱｸｾｽ中にﾊｰﾄﾞｳｪｱ I/O ｴﾗｰが報告されました。")            \
    TEXT("%1 へのｱｸｾｽ中に共有違反が発生しました。")                     \
    TEXT("%1 へのｱｸｾｽ中にﾛｯｸ違反が発生しました。")                     \
    TEXT("%1 へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。")                 \
    TEXT("%1 の末尾以降にｱｸｾｽしようとしました。")

// clang-format on

#define ARRAYFORGE_NAMED_TEXT(name, literal) inline constexpr std::string_view name = literal;
ARRAYFORGE_PRINTED_TEXTS(ARRAYFORGE_NAMED_TEXT)
#undef ARRAYFORGE_NAMED_TEXT

// The main window's open-file dialog: its filter ("|" separates names and
// patterns) and the file name it starts with.
inline constexpr std::string_view kBrowseFilter = "全てのﾌｧｲﾙ(*.*)|*.*||";
inline constexpr std::string_view kBrowseInitialName = "(無題)";

// Tooltips of the About box's links.
inline constexpr std::string_view kSiteLinkTip = "最新版入手のためのサイトにアクセスします。";
inline constexpr std::string_view kMailLinkTip = "作者へメールを送ります。";

#define ARRAYFORGE_TEXT_ITEM(literal) literal,
inline constexpr std::string_view kFileErrors[] = {ARRAYFORGE_FILE_ERROR_TEXTS(ARRAYFORGE_TEXT_ITEM)};
#undef ARRAYFORGE_TEXT_ITEM

// Every printed text in both encodings.
struct TextInTwoEncodings {
    std::string_view codePage932;
    std::u8string_view utf8;
};
#define ARRAYFORGE_NAMED_PAIR(name, literal) TextInTwoEncodings{literal, u8##literal},
#define ARRAYFORGE_PAIR(literal) TextInTwoEncodings{literal, u8##literal},
inline constexpr TextInTwoEncodings kPrintedTexts[] = {ARRAYFORGE_PRINTED_TEXTS(ARRAYFORGE_NAMED_PAIR)
                                                           ARRAYFORGE_FILE_ERROR_TEXTS(ARRAYFORGE_PAIR)};
#undef ARRAYFORGE_NAMED_PAIR
#undef ARRAYFORGE_PAIR

}  // namespace texts
