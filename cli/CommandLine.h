#pragma once

#include <optional>
#include <string>
#include <vector>

#include "generator/SourceFormat.h"

struct CommandLine {
    enum class Action { Convert, Help, Version };
    Action action = Action::Convert;
    DataType dataType = DataType::Char;
    std::string input;
    std::optional<std::string> output;  // "-" means standard output
    bool force = false;
};

struct ParseResult {
    std::optional<CommandLine> commandLine;
    std::string error;  // why the arguments were refused
};

ParseResult ParseCommandLine(const std::vector<std::string>& arguments);

extern const char* const kUsage;
