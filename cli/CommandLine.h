#pragma once

#include <optional>
#include <string>
#include <vector>

#include "generator/ArrayForm.h"

struct CommandLine {
    enum class Action { Convert, Help, Version };
    Action action = Action::Convert;
    std::vector<std::string> inputs;    // "-" is standard input
    std::optional<std::string> output;  // "-" means standard output
    bool force = false;
    bool quiet = false;  // -q: no line for a file written

    // The form of every array; its name is settled per output (cli/Inputs.h).
    ArrayForm form;
    bool nameGiven = false;             // -n
    std::optional<std::string> length;  // --length[=NAME]; empty: <array>_size
    std::string header;                 // --header FILE.h
    bool lfLineEnds = false;            // --eol lf
    bool utf8Header = false;            // --utf8
    std::string table;                  // --table NAME: the inputs as one table of that name
    std::optional<std::string> base;    // --base DIR: what a table's paths are relative to
};

struct ParseResult {
    std::optional<CommandLine> commandLine;
    std::string error;  // why the arguments were refused
};

ParseResult ParseCommandLine(const std::vector<std::string>& arguments);

// The text of --help, and what a usage error is followed by.
std::string Usage();
