// The classification of failures, the error report's texts (compared as
// code page 932 bytes) and the conversions of the system's text.

#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <utility>
#include <vector>

#include "base/ErrorReport.h"
#include "base/FileError.h"
#include "base/SystemText.h"
#include "base/Texts.h"

namespace {

// Every Windows code the program tells apart, and its neighbours, which it does not.
TEST(WindowsErrorCauses, FollowTheTable) {
    const std::pair<FileErrorCause, std::vector<std::uint32_t>> table[] = {
        {FileErrorCause::FileNotFound, {2, 6, 18, 107}},
        {FileErrorCause::BadPath, {3, 15, 17, 34, 52, 53, 55, 67, 70, 85, 111, 123, 124, 125, 144, 154, 161, 206, 208, 267}},
        {FileErrorCause::AccessDenied, {5, 12, 19, 29, 54, 58, 64, 65, 71, 80, 82, 86, 170, 183, 999}},
        {FileErrorCause::SharingViolation, {32}},
        {FileErrorCause::DiskFull, {39, 112}},
    };
    std::map<std::uint32_t, FileErrorCause> expected{{0, FileErrorCause::None}};
    for (const auto& [cause, codes] : table)
        for (std::uint32_t code : codes) expected[code] = cause;
    for (std::uint32_t code = 0; code <= 1000; ++code) {
        auto found = expected.find(code);
        EXPECT_EQ(CauseFromWindowsError(code), found != expected.end() ? found->second : FileErrorCause::Generic)
            << code;
    }
}

#ifndef _WIN32  // (on Windows the system's text is code page 932 already)
// A character without a code page 932 form becomes one "?", whatever its length.
TEST(SystemText, UnconvertibleCharactersBecomeOneQuestionMarkEach) {
    EXPECT_EQ(SystemTextToCodePage932("a\xC3\xA9" "b"), "a?b");        // é
    EXPECT_EQ(SystemTextToCodePage932("\xE0\xA0\x80x"), "?x");      // U+0800
    EXPECT_EQ(SystemTextToCodePage932("\xF0\x9F\x98\x80"), "?");    // an emoji
    EXPECT_EQ(SystemTextToCodePage932("\x80z\xC3z\xE3\x81"), "?z?z??");  // no character, a lead alone, cut short
    EXPECT_EQ(SystemTextToCodePage932(std::string(300, 'a') + "\x80"), std::string(300, 'a') + "?");  // in pieces
    EXPECT_EQ(CodePage932ToSystemText("\x85\x40z"), "?z");  // a two-byte code no character has
}
#endif

TEST(ErrnoCauses, MapOntoTheSameClasses) {
    const std::pair<int, FileErrorCause> rows[] = {
        {ENOENT, FileErrorCause::FileNotFound},    {ENOTDIR, FileErrorCause::BadPath},
        {ENAMETOOLONG, FileErrorCause::BadPath},   {EACCES, FileErrorCause::AccessDenied},
        {EISDIR, FileErrorCause::AccessDenied},    {EROFS, FileErrorCause::AccessDenied},
        {ENOSPC, FileErrorCause::DiskFull},        {EMFILE, FileErrorCause::TooManyOpenFiles},
        {EWOULDBLOCK, FileErrorCause::SharingViolation}, {EDOM, FileErrorCause::Generic},
    };
    for (auto [error, cause] : rows) EXPECT_EQ(CauseFromErrno(error), cause) << error;
}

// A failure names its file, or the untitled file where it has none.
TEST(ErrorReport, NamesTheFileOrTheUntitledFile) {
    EXPECT_EQ(ErrorReportText({FileErrorCause::DiskFull, 112, "C:\\out\\a.c"}),
              "C:\\out\\a.c"
              "\x20\x82\xd6\x82\xcc\xb1\xb8\xbe\xbd\x92\x86\x82\xc9\xc3\xde\xa8\xbd\xb8\x82\xaa\x82\xa2\x82\xc1"
              "\x82\xcf\x82\xa2\x82\xc9\x82\xc8\x82\xe8\x82\xdc\x82\xb5\x82\xbd\x81\x42");
    EXPECT_EQ(ErrorReportText({FileErrorCause::InvalidFile, 6, ""}),
              "\x96\xb3\x91\xe8\x82\xcc\xcc\xa7\xb2\xd9\x20"
              "\x82\xd6\x96\xb3\x8c\xf8\x82\xc8\xcc\xa7\xb2\xd9\x20\xca\xdd\xc4\xde\xd9\x82\xaa\x8a\xd6\x98\x41"
              "\x95\x74\x82\xaf\x82\xe7\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb5\x82\xbd\x81\x42");
}

TEST(ErrorReport, EveryCauseHasItsOwnTextAndOthersNone) {
    for (unsigned id = 61856; id <= 61870; ++id) {
        EXPECT_FALSE(ErrorReportString(id).empty()) << id;
        EXPECT_TRUE(id == 61856 || ErrorReportString(id).find("%1") != std::string_view::npos) << id;
    }
    EXPECT_TRUE(ErrorReportString(61871).empty());
    EXPECT_EQ(ReplacePlaceholder("a%1b%1", "X"), "aXbX");
    EXPECT_EQ(ErrorReportPattern(static_cast<FileErrorCause>(15)), ErrorReportString(61857)) << "the generic text";
    EXPECT_TRUE(ErrorReportString(61855).empty());
}

// Where the system cannot convert code page 932, the program's messages
// are still readable: its own table gives the same UTF-8 as their source.
TEST(SystemText, OwnTableGivesEveryPrintedTextInUtf8) {
    for (const auto& text : texts::kPrintedTexts)
        EXPECT_EQ(CodePage932ToUtf8ByTable(text.codePage932), std::string(text.utf8.begin(), text.utf8.end()));
    // 表 (95 5C) is in none of them, nor is a lone 0x80; ASCII passes as it is.
    EXPECT_EQ(CodePage932ToUtf8ByTable("a\x95\x5C\xB1\x80/"), "a?\xEF\xBD\xB1?/");
}

}  // namespace
