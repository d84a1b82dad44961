// The classification of failures, the error report's texts (compared as
// code page 932 bytes) and the conversions of the system's text.

#include <gtest/gtest.h>

#include <cerrno>
#include <set>
#include <utility>
#include <vector>

#include "base/ErrorReport.h"
#include "base/FileError.h"
#include "base/SystemText.h"
#include "base/Texts.h"

namespace {

// Codes of each class (the first and the last of those the program knows)
// and codes next to them that it does not tell apart.
TEST(FailureCauses, SystemCodesFallIntoTheProgramsClasses) {
    using enum FileErrorCause;
#ifdef _WIN32
    const std::pair<std::uint32_t, FileErrorCause> windows[] = {
        {0, None},          {2, FileNotFound}, {107, FileNotFound}, {3, BadPath}, {267, BadPath},
        {5, AccessDenied},  {999, AccessDenied}, {32, SharingViolation}, {39, DiskFull}, {112, DiskFull},
        {1, Generic},       {33, Generic},     {113, Generic},      {268, Generic}, {1000, Generic}};
    for (auto [code, cause] : windows) EXPECT_EQ(CauseFromWindowsError(code), cause) << "Windows " << code;
#else
    const std::pair<int, FileErrorCause> posix[] = {
        {ENOENT, FileNotFound}, {ENOTDIR, BadPath},        {ENAMETOOLONG, BadPath}, {EACCES, AccessDenied},
        {EISDIR, AccessDenied}, {EROFS, AccessDenied},     {ENOSPC, DiskFull},      {EMFILE, TooManyOpenFiles},
        {EWOULDBLOCK, SharingViolation}, {EDOM, Generic}};
    for (auto [error, cause] : posix) EXPECT_EQ(CauseFromErrno(error), cause) << "errno " << error;
#endif
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

// Each cause has a text of its own that names the file; a cause the program
// does not know gets the generic one.
TEST(ErrorReport, EachCauseHasItsOwnText) {
    std::set<std::string_view> seen;
    for (int cause = 1; cause <= 14; ++cause) {
        const std::string_view pattern = ErrorReportPattern(static_cast<FileErrorCause>(cause));
        EXPECT_NE(pattern.find("%1"), std::string_view::npos) << cause;
        EXPECT_TRUE(seen.insert(pattern).second) << cause;
    }
    EXPECT_EQ(ErrorReportPattern(static_cast<FileErrorCause>(15)), ErrorReportPattern(FileErrorCause::Generic));
    EXPECT_EQ(ReplacePlaceholder("a%1b%1", "X"), "aXbX");
}

// A path in the system's own text passes through std::filesystem both ways:
// 表 (95 5C in code page 932) stays one character, its 5C no separator.
TEST(SystemText, PathsPassThroughStdFilesystem) {
    const std::string hyo = SystemPathEncoding() == PathEncoding::CodePage932 ? "\x95\x5C" : "\xE8\xA1\xA8";
    const std::filesystem::path path = PathOfSystemText("d/" + hyo + ".txt");
    EXPECT_EQ(SystemTextOfPath(path), "d/" + hyo + ".txt");
    EXPECT_EQ(SystemTextOfPath(path.filename()), hyo + ".txt");
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
