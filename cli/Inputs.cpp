#include "cli/Inputs.h"

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <map>

#include "base/Paths.h"
#include "base/SystemText.h"
#include "base/TextFormat.h"
#include "cli/Console.h"
#include "cli/TableInputs.h"
#include "generator/ObjectForm.h"

namespace fs = std::filesystem;

namespace {

std::string FileNameOf(const std::string& path) {
    return path == "-" ? kStandardInputName : fs::path(path).filename().string();
}

// `path` made absolute, the links of the part that exists resolved by the system.
fs::path RealPath(const fs::path& path) {
    std::error_code error;
    fs::path resolved = fs::weakly_canonical(fs::absolute(path), error);
    return error ? fs::absolute(path).lexically_normal() : resolved;
}

// The input as #embed names it: relative to the output's folder where
// there is a way from one to the other, else absolute; '/' separates. Both
// ends are the real folders the system resolves, links followed, for that
// is where the compiler's ".." leads.
std::string EmbedPath(const std::string& input, const std::string& output) {
    const fs::path from = RealPath(output == "-" ? fs::current_path() : fs::absolute(output).parent_path());
    const fs::path to = RealPath(input);
    const fs::path relative = to.lexically_relative(from);
    return (relative.empty() ? to : relative).generic_string();
}

// The extension of an output named after its input.
std::string_view OutputExtension(const ArrayForm& form) {
    switch (form.format) {
    case ArrayFormat::Object: return form.target->format == ObjectFormat::Coff ? ".obj" : ".o";
    case ArrayFormat::Asm: return ".s";
    default: return ".c";
    }
}

// How the messages name an array's input: as given, "-" for standard input.
std::string GivenName(const ArrayInput& array) { return array.headerName.empty() ? array.path : "-"; }

std::optional<std::string> Collision(const std::vector<ArrayInput>& arrays) {
    std::map<std::string, std::string> names;  // each name, and the input it came from
    for (const ArrayInput& array : arrays) {
        for (const std::string* name : {&array.form.name, &array.form.lengthName}) {
            if (name->empty()) continue;
            if (auto why = WhyReservedName(*name); !why.empty())
                return "'" + *name + "' (from " + GivenName(array) + ") " + std::string(why) +
                       ": rename the file, or convert it alone and name it with -n";
            if (auto [taken, added] = names.emplace(*name, GivenName(array)); !added)
                return "the arrays or lengths of " + taken->second + " and " + GivenName(array) +
                       " would both be named '" + *name + "'";
        }
    }
    return std::nullopt;
}

// Whether two paths name one file: the same file where both exist, else
// the same place once links are resolved. `aExists`: whether `a` does, known
// beforehand (a table compares each output with thousands of inputs).
bool SameFile(const std::string& a, const std::string& b, bool aExists) {
    std::error_code error;
    if (aExists) return fs::equivalent(a, b, error);
    return !fs::exists(b, error) && RealPath(a) == RealPath(b);
}
bool SameFile(const std::string& a, const std::string& b) {
    std::error_code error;
    return SameFile(a, b, fs::exists(a, error));
}

// Why the runs cannot all be written without one destroying another's
// input or output, before anything is written; empty when they can.
// `inputsChecked`: the outputs are known to be no inputs.
std::string Overlap(const std::vector<ConversionRequest>& runs, bool inputsChecked = false) {
    std::vector<std::pair<std::string, std::string>> outputs;  // each output file, and what it is written from
    for (const ConversionRequest& run : runs) {
        const std::string from = GivenName(run.arrays.front()) + (run.arrays.size() > 1 ? " and the others" : "");
        if (!run.toStandardOutput) outputs.emplace_back(run.outputPath, from);
        if (!run.headerPath.empty()) outputs.emplace_back(run.headerPath, "the declarations of " + from);
    }
    for (std::size_t i = 0; i < outputs.size(); ++i) {
        const auto& [output, from] = outputs[i];
        std::error_code error;
        const bool exists = fs::exists(output, error);
        for (const ConversionRequest& run : runs)
            for (const ArrayInput& array : run.arrays)
                if (!inputsChecked && SameFile(output, array.path, exists))
                    return output + ", the output of " + from + ", is the input " + GivenName(array);
        for (std::size_t j = 0; j < i; ++j)
            if (SameFile(output, outputs[j].first))
                return outputs[j].second + " and " + from + " would both be written to " + output;
    }
    return {};
}

// Why the object a run would write cannot be, as the inputs are now (too
// large for the target's offsets, above all); empty for other forms.
std::string WhyNotAnObject(const ConversionRequest& run) {
    if (run.arrays.front().form.format != ArrayFormat::Object) return {};
    std::vector<std::pair<ArrayForm, std::uint64_t>> sized;
    for (const ArrayInput& array : run.arrays) {
        std::error_code missing;  // reported by the run
        const std::uintmax_t size = fs::file_size(array.path, missing);
        sized.emplace_back(array.form, missing ? 0 : size);
    }
    const std::string why = WhyNotALayout(ObjectLayoutOf(sized));
    return why.empty() ? why : "no object file of " + std::string(run.arrays.front().form.target->name) + " can hold " +
                                   GivenName(run.arrays.front()) + ": " + why;
}

// One run for the table: every file an array of its own (static, const,
// a zero after it) named after its place in the table.
RunPlan PlanTable(const CommandLine& commandLine, std::optional<std::int64_t> headerTime) {
    std::string error;
    std::vector<TableFile> files = TableFiles(commandLine.inputs, commandLine.base.value_or("."), error);
    if (!error.empty()) return {{}, error};
    RunPlan plan;
    ConversionRequest& run = plan.runs.emplace_back();
    run.outputPath = commandLine.output.value_or(commandLine.table + ".c");
    run.toStandardOutput = run.outputPath == "-";
    if (run.toStandardOutput) run.outputPath.clear();
    run.headerPath = commandLine.header;
    run.style = {commandLine.lfLineEnds, commandLine.utf8Header, headerTime};
    // The outputs against the files by the real paths the walk found (a
    // file with other links by the system's word).
    for (const std::string& output : {run.outputPath, run.headerPath}) {
        std::error_code error;
        const fs::path path = PathOfSystemText(output);
        if (output.empty() || !fs::exists(path, error)) continue;
        const std::string real = SystemTextOfPath(fs::canonical(path, error));
        const bool linked = fs::hard_link_count(path, error) > 1;
        for (const TableFile& file : files)
            if (file.realPath == real || (linked && fs::equivalent(path, PathOfSystemText(file.path), error)))
                return {{}, output + ", an output of the table, is the input " + file.path};
    }
    ArrayForm form = commandLine.form;
    form.type = ElementType::UnsignedChar;
    form.isConst = form.isStatic = form.nul = true;
    form.table = commandLine.table;
    run.arrays.reserve(files.size());
    for (TableFile& file : files) {
        ArrayInput& array = run.arrays.emplace_back(ArrayInput{std::move(file.path), {}, form});
        array.form.name = form.table + "_" + std::to_string(run.arrays.size() - 1);
        array.form.tablePath = std::move(file.tablePath);
    }
    if (auto overlap = Overlap(plan.runs, true); !overlap.empty()) return {{}, overlap};
    return plan;
}

}  // namespace

RunPlan PlanRuns(const CommandLine& commandLine, const std::string& standardInputCopy,
                 std::optional<std::int64_t> headerTime) {
    if (!commandLine.table.empty()) return PlanTable(commandLine, headerTime);
    RunPlan plan;
    const bool together = commandLine.output.has_value() && commandLine.inputs.size() > 1;
    for (const std::string& input : commandLine.inputs) {
        if (!together || plan.runs.empty()) {
            ConversionRequest& run = plan.runs.emplace_back();
            const std::string output = commandLine.output.value_or(
                input == "-" ? "-" : ReplaceExtension(input, OutputExtension(commandLine.form), SystemPathEncoding()));
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
        if (array.form.format == ArrayFormat::Embed || array.form.format == ArrayFormat::Asm) {
            const std::string& path = array.form.embedPath =
                EmbedPath(input, run.toStandardOutput ? "-" : run.outputPath);
            // A C or assembler string cannot hold these.
            if (path.find_first_of("\"\n\r") != std::string::npos || path.ends_with('\\'))
                return {{}, "#embed and .incbin cannot name the path of " + input +
                                " (a quote, a line break or a final backslash)"};
        }
    }
    for (const ConversionRequest& run : plan.runs)
        if (auto collision = Collision(run.arrays)) return {{}, *collision};
    if (auto overlap = Overlap(plan.runs); !overlap.empty()) return {{}, overlap};
    for (const ConversionRequest& run : plan.runs)
        if (auto why = WhyNotAnObject(run); !why.empty()) return {{}, why};
    return plan;
}

std::optional<std::int64_t> SourceDateEpoch(const char* value, std::string& error) {
    if (value == nullptr || *value == '\0') return std::nullopt;
    const char* end = value + std::strlen(value);
    std::uint64_t seconds = 0;
    const auto [stop, why] = std::from_chars(value, end, seconds);
    if (stop != end || (why != std::errc() && why != std::errc::result_out_of_range)) {
        error = std::string("SOURCE_DATE_EPOCH is not a number of seconds: '") + value + "'";
        return std::nullopt;
    }
    // The header shows the moment as a date: one the system cannot make a
    // date of cannot be shown.
    if (why == std::errc::result_out_of_range || seconds > INT64_MAX ||
        FormatUtcTime(static_cast<std::int64_t>(seconds), "%y").empty()) {
        error = std::string("SOURCE_DATE_EPOCH is out of range: '") + value + "'";
        return std::nullopt;
    }
    return static_cast<std::int64_t>(seconds);
}

StandardInputCopy::StandardInputCopy(std::string& error) {
    m_copy = OpenStandardInputCopy(m_path);
    if (m_copy == nullptr) {
        error = std::string("cannot make a temporary file for standard input: ") + std::strerror(errno);
        return;
    }
    char buffer[65536];
    int writeFailure = 0;
    for (std::size_t count; writeFailure == 0 && (count = std::fread(buffer, 1, sizeof buffer, stdin)) > 0;)
        if (std::fwrite(buffer, 1, count, m_copy) != count) writeFailure = errno;
    const int readFailure = std::ferror(stdin) ? errno : 0;
    if (const int finishFailure = FinishStandardInputCopy(m_copy); writeFailure == 0) writeFailure = finishFailure;
    if (readFailure != 0) error = std::string("cannot read standard input: ") + std::strerror(readFailure);
    else if (writeFailure != 0) error = std::string("cannot copy standard input: ") + std::strerror(writeFailure);
}

StandardInputCopy::~StandardInputCopy() { RemoveStandardInputCopy(m_copy, m_path); }
