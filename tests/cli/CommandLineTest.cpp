#include <gtest/gtest.h>

#include "cli/CommandLine.h"
#include "cli/Inputs.h"

namespace {

ParseResult Parse(std::vector<std::string> arguments) { return ParseCommandLine(arguments); }

TEST(CommandLine, DefaultsAndOptions) {
    auto plain = Parse({"in.bin"});
    ASSERT_TRUE(plain.commandLine);
    EXPECT_EQ(plain.commandLine->inputs, std::vector<std::string>{"in.bin"});
    EXPECT_EQ(plain.commandLine->form.type, ElementType::Char);

    auto full = Parse({"-t", "ulong", "-o", "-", "-f", "in.bin"});
    ASSERT_TRUE(full.commandLine);
    EXPECT_EQ(full.commandLine->form.type, ElementType::Ulong);
    EXPECT_EQ(full.commandLine->output, "-");
    EXPECT_TRUE(full.commandLine->force);
}

TEST(SourceDateEpoch, TakesSecondsUpToTheLargestItCanCheck) {
    std::string error;
    EXPECT_EQ(SourceDateEpoch("9223372036854775799", error), 9223372036854775799);
    EXPECT_EQ(SourceDateEpoch("9223372036854775800", error), std::nullopt);
}

TEST(CommandLine, HelpAndVersionWinOverEverythingElse) {
    EXPECT_EQ(Parse({"-x", "--help"}).commandLine, std::nullopt) << "an unknown option before is still wrong";
    EXPECT_EQ(Parse({"in", "--help"}).commandLine->action, CommandLine::Action::Help);
    EXPECT_EQ(Parse({"--version"}).commandLine->action, CommandLine::Action::Version);
}

TEST(CommandLine, BuildOptions) {
    auto line = Parse({"-t", "u16", "-n", "logo", "--const", "--static", "--length", "--nul", "--eol=lf", "--utf8",
                       "a", "-", "--", "--b"})
                    .commandLine;
    ASSERT_TRUE(line);
    EXPECT_EQ(line->inputs, (std::vector<std::string>{"a", "-", "--b"}));
    EXPECT_EQ(line->form.type, ElementType::Uint16);
    EXPECT_EQ(line->form.name, "logo");
    EXPECT_TRUE(line->form.isConst && line->form.isStatic && line->form.nul && line->lfLineEnds && line->utf8Header);
    EXPECT_EQ(line->length, "");
    EXPECT_EQ(Parse({"a", "--length=len", "--format", "string", "-t", "u8", "--header", "x.h"}).commandLine->length,
              "len");
}

TEST(CommandLine, RefusesWhatItCannotUse) {
    for (auto arguments : std::vector<std::vector<std::string>>{
             {}, {"-t"}, {"-t", "word", "in"}, {"-o"}, {"-o", "", "in"}, {"-q", "in"}, {""},
             {"-n", "2d", "a"}, {"-n", "a-b", "a"}, {"-n", "class", "a"}, {"-n", "int", "a"}, {"--length=for", "a"},
             {"-n", "x", "--length=x", "a"}, {"--format", "text", "a"}, {"--format", "string", "-t", "u16", "a"},
             {"--format=embed", "-t", "uint", "a"}, {"--format", "embed", "-"}, {"--eol", "cr", "a"},
             {"--static", "--header", "a.h", "a"}, {"-", "-"}, {"--header", "a.h", "a", "b"},
             {"-n", "x", "-o", "all.c", "a", "b"}, {"--length=n", "-o", "all.c", "a", "b"}, {"--const=yes", "a"}}) {
        auto result = Parse(arguments);
        EXPECT_FALSE(result.commandLine) << ::testing::PrintToString(arguments);
        EXPECT_FALSE(result.error.empty());
    }
}

}  // namespace
