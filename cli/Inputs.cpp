#include "cli/Inputs.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <set>

#include "app/SystemText.h"
#include "cli/Console.h"

namespace fs = std::filesystem;

namespace {

std::string FileNameOf(const std::string& path) {
    return path == "-" ? kStandardInputName : fs::path(path).filename().string();
}

// The input as #embed names it: relative to the output's folder where
// there is a way from one to the other, else absolute; '/' separates.
std::string EmbedPath(const std::string& input, const std::string& output) {
    fs::path from = output == "-" ? fs::current_path() : fs::absolute(output).parent_path();
    fs::path to = fs::absolute(input).lexically_normal();
    fs::path relative = to.lexically_relative(from.lexically_normal());
    return (relative.empty() ? to : relative).generic_string();
}

std::optional<std::string> Collision(const std::vector<ArrayInput>& arrays) {
    std::set<std::string> names;
    for (const ArrayInput& array : arrays) {
        for (const std::string* name : {&array.form.name, &array.form.lengthName}) {
            if (name->empty()) continue;
            if (IsKeyword(*name)) return "'" + *name + "' (from " + array.path + ") is a C or C++ keyword";
            if (!names.insert(*name).second) return "two arrays or lengths would be named '" + *name + "'";
        }
    }
    return std::nullopt;
}

}  // namespace

RunPlan PlanRuns(const CommandLine& commandLine, const std::string& standardInputCopy,
                 std::optional<std::int64_t> headerTime) {
    RunPlan plan;
    const bool together = commandLine.output.has_value() && commandLine.inputs.size() > 1;
    for (const std::string& input : commandLine.inputs) {
        if (!together || plan.runs.empty()) {
            ConversionRequest& run = plan.runs.emplace_back();
            run.inputPath = input == "-" ? standardInputCopy : input;
            const std::string output =
                commandLine.output.value_or(input == "-" ? "-" : DeriveOutputPath(input, SystemPathEncoding()));
            run.toStandardOutput = output == "-";
            if (!run.toStandardOutput) run.outputPath = output;
            run.headerPath = commandLine.header;
            run.style = {commandLine.lfLineEnds, commandLine.utf8Header, headerTime};
        }
        ConversionRequest& run = plan.runs.back();
        ArrayInput& array = run.arrays.emplace_back();
        array.path = input == "-" ? standardInputCopy : input;
        if (input == "-") array.headerName = kStandardInputName;
        array.form = commandLine.form;
        array.form.declaredInHeader = !commandLine.header.empty();
        if (together) array.form.name = IdentifierFromFileName(FileNameOf(input));
        if (commandLine.length)
            array.form.lengthName = commandLine.length->empty() ? array.form.name + "_size" : *commandLine.length;
        if (array.form.format == ArrayFormat::Embed) {
            array.form.embedPath = EmbedPath(input, run.toStandardOutput ? "-" : run.outputPath);
            if (array.form.embedPath.find_first_of("\"\n\r") != std::string::npos)
                return {{}, "#embed cannot name the path of " + input};
        }
    }
    for (const ConversionRequest& run : plan.runs)
        if (auto collision = Collision(run.arrays)) return {{}, *collision};
    return plan;
}

std::optional<std::int64_t> SourceDateEpoch(const char* value, std::string& error) {
    if (value == nullptr || *value == '\0') return std::nullopt;
    std::int64_t seconds = 0;
    for (const char* c = value; *c != '\0'; ++c) {
        if (*c < '0' || *c > '9' || seconds > (INT64_MAX - 9) / 10) {
            error = std::string("SOURCE_DATE_EPOCH is not a number of seconds: '") + value + "'";
            return std::nullopt;
        }
        seconds = seconds * 10 + (*c - '0');
    }
    return seconds;
}

StandardInputCopy::StandardInputCopy(std::string& error) {
    std::FILE* copy = OpenStandardInputCopy(m_path);
    if (copy == nullptr) {
        error = std::string("cannot make a temporary file for standard input: ") + std::strerror(errno);
        return;
    }
    char buffer[65536];
    std::size_t count = 0;
    int writeFailure = 0;
    while (writeFailure == 0 && (count = std::fread(buffer, 1, sizeof buffer, stdin)) > 0)
        if (std::fwrite(buffer, 1, count, copy) != count) writeFailure = errno;
    const int readFailure = std::ferror(stdin) ? errno : 0;
    if (std::fclose(copy) != 0 && writeFailure == 0) writeFailure = errno;
    if (readFailure != 0) error = std::string("cannot read standard input: ") + std::strerror(readFailure);
    else if (writeFailure != 0)
        error = "cannot copy standard input to " + m_path + ": " + std::strerror(writeFailure);
}

StandardInputCopy::~StandardInputCopy() {
    if (!m_path.empty()) std::remove(m_path.c_str());
}
