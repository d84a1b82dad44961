#pragma once

// Every text the program shows, in one place. This file is UTF-8; the
// compiler is told to store string literals in code page 932
// (-fexec-charset=CP932, /execution-charset:.932), so these are the bytes
// the program hands to Windows.

#include <string_view>

namespace texts {

inline constexpr std::string_view kAppTitle = "Arrayforge";
inline constexpr std::string_view kErrorCaption = "エラー";

// The conversion run.
inline constexpr std::string_view kOverwriteQuestion = "書込先ﾌｧｲﾙが存在します。\n上書きしていいですか？";
inline constexpr std::string_view kInputNotFound = "ﾌｧｲﾙが見つかりません";
inline constexpr std::string_view kOutputDiskFull = "ﾃﾞｨｽｸに空き領域がありません。";
inline constexpr std::string_view kOutputBadPath = "書き出しﾌｧｲﾙ名が不正です。";
inline constexpr std::string_view kOutputSharingViolation = "ﾌｧｲﾙの共有違反です。";
inline constexpr std::string_view kOutputAccessDenied = "ﾌｧｲﾙが書き込み禁止です。";
inline constexpr std::string_view kFileWritten = "ﾌｧｲﾙを書き込みました。";
inline constexpr std::string_view kInputChanged = "読込元ﾌｧｲﾙが読み込み中に変更されました。";

// The main window's open-file dialog: its filter ("|" separates names and
// patterns) and the file name it starts with.
inline constexpr std::string_view kBrowseFilter = "全てのﾌｧｲﾙ(*.*)|*.*||";
inline constexpr std::string_view kBrowseInitialName = "(無題)";

// Tooltips of the About box's links.
inline constexpr std::string_view kSiteLinkTip = "最新版入手のためのサイトにアクセスします。";
inline constexpr std::string_view kMailLinkTip = "作者へメールを送ります。";

// The error report for failures that escape a command, by string id.
inline constexpr unsigned kIdUntitledFile = 61446;
inline constexpr unsigned kIdOutOfMemory = 61475;
inline constexpr unsigned kIdFirstFileError = 61856;  // + FileErrorCause

inline constexpr std::string_view kUntitledFile = "無題のﾌｧｲﾙ";
inline constexpr std::string_view kOutOfMemory = "ﾒﾓﾘが不足しています。";
inline constexpr std::string_view kFileErrors[] = {
    "ｴﾗｰはありませんでした。",
    "%1 へのｱｸｾｽ中に不明なｴﾗｰが発生しました。",
    "%1 が見つかりませんでした。",
    "%1 には無効なﾊﾟｽが含まれています。",
    "開いているﾌｧｲﾙが多すぎるため、%1 を開けませんでした。",
    "%1 へのｱｸｾｽは拒否されました。",
    "%1 へ無効なﾌｧｲﾙ ﾊﾝﾄﾞﾙが関連付けられていました。",
    "現在のﾃﾞｨﾚｸﾄﾘ %1 は削除できませんでした。",
    "%1 を作成できませんでした。そのﾃﾞｨﾚｸﾄﾘはいっぱいです。",
    "%1 のｼｰｸに失敗しました。",
    "%1 へのｱｸｾｽ中にﾊｰﾄﾞｳｪｱ I/O ｴﾗｰが報告されました。",
    "%1 へのｱｸｾｽ中に共有違反が発生しました。",
    "%1 へのｱｸｾｽ中にﾛｯｸ違反が発生しました。",
    "%1 へのｱｸｾｽ中にﾃﾞｨｽｸがいっぱいになりました。",
    "%1 の末尾以降にｱｸｾｽしようとしました。",
};

}  // namespace texts
