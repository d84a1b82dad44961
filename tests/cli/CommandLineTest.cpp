#include <gtest/gtest.h>

#include <tuple>

#include "cli/CommandLine.h"
#include "cli/Inputs.h"
#include "tests/support/TestSupport.h"

using testing_support::ReadBytes;
using testing_support::ScratchFolder;
using testing_support::WriteBytes;

namespace {

ParseResult Parse(std::vector<std::string> arguments) { return ParseCommandLine(arguments); }

// A moment the header can show is taken; anything else is refused, saying
// why, never dropped from the header.
TEST(SourceDateEpoch, TakesOnlyMomentsTheHeaderCanShow) {
    const std::tuple<const char*, std::optional<std::int64_t>, const char*> cases[] = {
        {"0", 0, ""},
        {"67768036191676799", 67768036191676799, ""},  // the last second of the year 2147485547
        {"67768036191676800", std::nullopt, "out of range"},
        {"9223372036854775807", std::nullopt, "out of range"},
        {"99999999999999999999", std::nullopt, "out of range"},
        {"-1", std::nullopt, "not a number"},
        {"1e3", std::nullopt, "not a number"},
    };
    for (const auto& [value, seconds, why] : cases) {
        std::string error;
        EXPECT_EQ(SourceDateEpoch(value, error), seconds) << value;
        EXPECT_NE(error.find(why), std::string::npos) << value << ": " << error;
    }
}

// Every output planned before anything is written: none may be an input,
// or another output, or hold a name that cannot compile; #embed names its
// input from the output's real folder.
TEST(PlanRuns, RefusesPlansThatDestroyOrCannotCompile) {
    const std::pair<std::vector<std::string>, const char*> refused[] = {
        // Arguments, what the refusal names.
        {{"x.bin", "x.c"}, "x.c, the output of x.bin, is the input x.c"},
        {{"a.bin", "a.txt"}, "a.bin and a.txt would both be written to a.c"},
        {{"-o", "same.c", "--header", "same.c", "in"}, "would both be written to same.c"},
        {{"-o", "all.c", "a.bin", "a_bin"}, "of a.bin and a_bin would both be named 'a_bin'"},
        {{"-o", "all.c", "a.bin", "main"}, "'main' (from main) is the program's entry point: rename"},
        {{"-o", "all.c", "uint8_t", "a.bin"}, "'uint8_t' (from uint8_t) is a type"},
        {{"-o", "all.c", "int", "a.bin"}, "is a C or C++ keyword"},
        {{"-o", "all.c", "--length", "a.bin", "a.bin"}, "would both be named 'a_bin'"},
        {{"--format=embed", "ends\\"}, "cannot name the path of ends\\"},
    };
    for (const auto& [arguments, why] : refused) {
        const RunPlan plan = PlanRuns(*Parse(arguments).commandLine, {}, {});
        EXPECT_NE(plan.error.find(why), std::string::npos) << plan.error;
    }
    ScratchFolder folder;
    std::filesystem::create_directories(folder.Path() / "real/out");
    std::filesystem::create_symlink("real/out", folder.Path() / "linked");
    const auto line = Parse({"--format=embed", "-o", folder / "linked/x.c", folder / "in.bin"}).commandLine;
    EXPECT_EQ(PlanRuns(*line, {}, {}).runs.at(0).arrays.at(0).form.embedPath, "../../in.bin");
}

// A table's files are all planned, walked and checked before anything is
// written: each refusal names its cause.
TEST(PlanRuns, RefusesTablesThatCannotBe) {
    ScratchFolder folder;
    for (const char* name : {"a", "b", "empty/inner", "loop/in"}) std::filesystem::create_directories(folder / name);
    WriteBytes(folder / "a/x.txt", "x");
    WriteBytes(folder / "b/y.txt", "y");
    std::filesystem::create_directory_symlink("..", folder.Path() / "loop/in/up");
    std::filesystem::create_symlink("self", folder.Path() / "self");
    const std::pair<std::vector<std::string>, std::string> refused[] = {
        {{folder / "a", folder / "a/x.txt"}, "would both be found as a/x.txt"},
        {{"--base", folder / "a", folder / "b/y.txt"}, "b/y.txt is not below the base folder"},
        {{"--base", folder / "a/x.txt", folder / "a/x.txt"}, "x.txt is not below the base folder"},
        {{folder / "empty"}, "empty holds no file"},
        {{folder / "loop"}, "a loop of links: " + folder / "loop/in/up leads back"},
        {{folder / "self"}, "a loop of links at"},
        {{"-o", folder / "b/y.txt", folder / "b"}, "y.txt, an output of the table, is the input"},
    };
    for (auto [arguments, why] : refused) {
        arguments.insert(arguments.begin(), {"--table", "t", "--base", folder.Path().string()});
        const RunPlan plan = PlanRuns(*Parse(arguments).commandLine, {}, {});
        EXPECT_NE(plan.error.find(why), std::string::npos) << why << ": " << plan.error;
    }
}

TEST(PlanRuns, TableFilesAreSortedBytewiseByTheirPathsBelowTheBase) {
    ScratchFolder folder;
    std::vector<std::string> paths = {"Z", "a b/c", "a\\b", "q\"", "z/\n", "\xC3\xA9"};
    for (const std::string& path : paths) {
        std::filesystem::create_directories(std::filesystem::path(folder / ("site/" + path)).parent_path());
        WriteBytes(folder / ("site/" + path), path);
    }
    std::filesystem::create_directory_symlink("a b", folder.Path() / "site/link");  // a folder twice is no loop
    paths.insert(paths.begin() + 3, "link/c");
    const RunPlan plan =
        PlanRuns(*Parse({"--table", "t", "--base", folder / "site", folder / "site"}).commandLine, {}, {});
    ASSERT_EQ(plan.runs.size(), 1u) << plan.error;
    std::vector<std::string> found;
    for (const ArrayInput& array : plan.runs[0].arrays) found.push_back(array.form.tablePath);
    EXPECT_EQ(found, paths);
    EXPECT_EQ(plan.runs[0].arrays[6].form.name, "t_6");
    EXPECT_EQ(ReadBytes(plan.runs[0].arrays[6].path), "\xC3\xA9") << "read from where it was found";
}

TEST(CommandLine, HelpAndVersionWinOverEverythingElse) {
    EXPECT_EQ(Parse({"-x", "--help"}).commandLine, std::nullopt) << "an unknown option before is still wrong";
    EXPECT_EQ(Parse({"in", "--help"}).commandLine->action, CommandLine::Action::Help);
    EXPECT_EQ(Parse({"--version"}).commandLine->action, CommandLine::Action::Version);
}

// The spellings the golden files of the front end do not use: values
// attached with '=', "--" before inputs that look like options, "-".
TEST(CommandLine, TakesEverySpelling) {
    auto line = Parse({"-t", "u8", "--eol=lf", "--align=1", "--section", ".data.x", "--length=len", "-q", "-f",
                       "a", "-", "--", "--b"}).commandLine;
    ASSERT_TRUE(line);
    EXPECT_TRUE(Parse({"-n", "aB", "-o", "x.c", "a"}).commandLine) << "a name for the one input of an output";
    EXPECT_EQ(line->inputs, (std::vector<std::string>{"a", "-", "--b"}));
    EXPECT_TRUE(line->form.type == ElementType::Uint8 && line->lfLineEnds && line->quiet && line->force);
    EXPECT_TRUE(line->length == "len" && line->form.alignment == 1 && line->form.section == ".data.x");
}

TEST(CommandLine, RefusesWhatItCannotUse) {
    for (auto arguments : std::vector<std::vector<std::string>>{
             {}, {"-t"}, {"-t", "word", "in"}, {"-o"}, {"-o", "", "in"}, {"-x", "in"}, {""},
             {"-n", "2d", "a"}, {"-n", "a-b", "a"}, {"-n", "class", "a"}, {"-n", "int", "a"}, {"--length=for", "a"},
             {"-n", "main", "a"}, {"-n", "uint8_t", "-t", "u8", "a"}, {"-n", "NULL", "a"}, {"-n", "__FILE__", "a"},
             {"-n", "_A", "a"}, {"--length=__func__", "a"},
             {"-n", "x", "--length=x", "a"}, {"--format", "text", "a"}, {"--format", "string", "-t", "u16", "a"},
             {"--format=embed", "-t", "uint", "a"}, {"--format", "embed", "-"}, {"--eol", "cr", "a"},
             {"--static", "--header", "a.h", "a"}, {"-", "-"}, {"--header", "a.h", "a", "b"},
             {"-n", "x", "-o", "all.c", "a", "b"}, {"--length=n", "-o", "all.c", "a", "b"}, {"--const=yes", "a"},
             {"--align", "3", "a"}, {"--align=8192", "a"}, {"--align", "0x10", "a"}, {"-t", "u32", "--align", "2", "a"},
             {"--section", "a b", "a"}, {"--section", "\".x", "a"}, {"--format", "object", "--target", "vax", "a"},
             {"--target", "elf64-x86-64", "a"}, {"--format", "object", "--static", "a"}, {"--format", "asm", "-"},
             {"--format=object", "--target=pe-i386", "--section", "a,b", "a"}, {"--base", "d", "a"},
             {"--table", "int", "a"}, {"--table", "t", "--format", "object", "a"}, {"--table", "t", "-"},
             {"--table", "t", "-t", "u16", "a"}, {"--table", "t", "-n", "x", "a"}, {"--table", "t", "--static", "a"}}) {
        auto result = Parse(arguments);
        EXPECT_FALSE(result.commandLine) << ::testing::PrintToString(arguments);
        EXPECT_FALSE(result.error.empty());
    }
}

}  // namespace
