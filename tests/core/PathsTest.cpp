#include <gtest/gtest.h>

#include <tuple>

#include "base/Paths.h"

namespace {

// 表 and ソ are two-byte characters whose second byte is 0x5C, a backslash.
const std::string kHyo = "\x95\x5C";
const std::string kSo = "\x83\x5C";

struct SplitCase {
    std::string path;
    PathParts parts;
};

class SplitPathCases : public ::testing::TestWithParam<SplitCase> {};

TEST_P(SplitPathCases, GiveDriveDirectoryBaseAndExtension) {
    const std::string padded = GetParam().path + "/.";  // nothing past the end may count
    PathParts got = SplitPath(std::string_view(padded).substr(0, GetParam().path.size()));
    const PathParts& want = GetParam().parts;
    EXPECT_EQ(std::tie(got.drive, got.directory, got.baseName, got.extension),
              std::tie(want.drive, want.directory, want.baseName, want.extension));
}

INSTANTIATE_TEST_SUITE_P(
    Paths, SplitPathCases,
    ::testing::Values(SplitCase{"D:\\dir\\archive.tar.gz", {"D:", "\\dir\\", "archive.tar", ".gz"}},
                      SplitCase{"C:\\home\\.profile", {"C:", "\\home\\", "", ".profile"}},
                      SplitCase{".hidden", {"", "", "", ".hidden"}},
                      SplitCase{"C:\\data\\README", {"C:", "\\data\\", "README", ""}},
                      SplitCase{"rel/dir.d/name", {"", "rel/dir.d/", "name", ""}},
                      SplitCase{"\x83:a", {"", "", "\x83:a", ""}},  // a two-byte character, not a drive
                      SplitCase{"C:name.txt", {"C:", "", "name", ".txt"}},
                      SplitCase{"", {"", "", "", ""}},
                      SplitCase{"C:", {"C:", "", "", ""}},
                      // The 0x5C of 表 is no separator: one component, not two.
                      SplitCase{"C:\\" + kHyo + "\\" + kSo + ".bin", {"C:", "\\" + kHyo + "\\", kSo, ".bin"}},
                      SplitCase{"C:\\x\\" + kHyo + kSo, {"C:", "\\x\\", kHyo + kSo, ""}}));

TEST(MakePath, JoinsWithTheSeparatorsNeeded) {
    EXPECT_EQ(MakePath("D:", "\\dir\\", "archive.tar", ".c"), "D:\\dir\\archive.tar.c");
    EXPECT_EQ(MakePath("D", "dir", "name", "c"), "D:dir\\name.c");
    EXPECT_EQ(MakePath("", "dir/", "name", ""), "dir/name");
    EXPECT_EQ(MakePath("", "", "name", ".c"), "name.c");
    // A directory ending in the two-byte ソ does not end in a separator.
    EXPECT_EQ(MakePath("C:", "\\" + kSo, "n", ".c"), "C:\\" + kSo + "\\n.c");
    EXPECT_EQ(MakePath("", kSo, "n", ".c"), kSo + "\\n.c");
}

TEST(DeriveOutputPath, ReplacesOnlyTheLastExtension) {
    EXPECT_EQ(DeriveOutputPath("C:\\data\\image.bin"), "C:\\data\\image.c");
    EXPECT_EQ(DeriveOutputPath("C:\\data\\pack.tar.gz"), "C:\\data\\pack.tar.c");
    EXPECT_EQ(DeriveOutputPath("C:\\data\\README"), "C:\\data\\README.c");
    EXPECT_EQ(DeriveOutputPath("C:\\src\\table.c"), "C:\\src\\table.c");
    EXPECT_EQ(DeriveOutputPath("C:\\" + kHyo + "\\" + kSo + ".bin"), "C:\\" + kHyo + "\\" + kSo + ".c");
    // "、" in UTF-8 is E3 80 81: read as code page 932, 0x81 would swallow the dot.
    EXPECT_EQ(DeriveOutputPath("/home/u/\xE3\x80\x81.bin", PathEncoding::ByteWise), "/home/u/\xE3\x80\x81.c");
}

}  // namespace
