#include <gtest/gtest.h>

#include "cli/CommandLine.h"

namespace {

ParseResult Parse(std::vector<std::string> arguments) { return ParseCommandLine(arguments); }

TEST(CommandLine, DefaultsAndOptions) {
    auto plain = Parse({"in.bin"});
    ASSERT_TRUE(plain.commandLine);
    EXPECT_EQ(plain.commandLine->inputs, std::vector<std::string>{"in.bin"});
    EXPECT_EQ(plain.commandLine->form.type, ElementType::Char);
    EXPECT_FALSE(plain.commandLine->output);
    EXPECT_FALSE(plain.commandLine->force);

    auto full = Parse({"-t", "ulong", "-o", "-", "-f", "in.bin"});
    ASSERT_TRUE(full.commandLine);
    EXPECT_EQ(full.commandLine->form.type, ElementType::Ulong);
    EXPECT_EQ(full.commandLine->output, "-");
    EXPECT_TRUE(full.commandLine->force);

    auto dashName = Parse({"--type", "uint", "--", "-odd-name"});
    ASSERT_TRUE(dashName.commandLine);
    EXPECT_EQ(dashName.commandLine->inputs, std::vector<std::string>{"-odd-name"});
    EXPECT_EQ(dashName.commandLine->form.type, ElementType::Uint);
}

TEST(CommandLine, HelpAndVersionWinOverEverythingElse) {
    EXPECT_EQ(Parse({"-x", "--help"}).commandLine, std::nullopt) << "an unknown option before is still wrong";
    EXPECT_EQ(Parse({"in", "--help"}).commandLine->action, CommandLine::Action::Help);
    EXPECT_EQ(Parse({"--version"}).commandLine->action, CommandLine::Action::Version);
}

TEST(CommandLine, RefusesWhatItCannotUse) {
    for (auto arguments : std::vector<std::vector<std::string>>{
             {}, {"-t"}, {"-t", "word", "in"}, {"-o"}, {"-o", "", "in"}, {"-q", "in"}, {""}}) {
        auto result = Parse(arguments);
        EXPECT_FALSE(result.commandLine) << ::testing::PrintToString(arguments);
        EXPECT_FALSE(result.error.empty());
    }
}

}  // namespace
