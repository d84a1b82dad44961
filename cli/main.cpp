// arrayforge: the command-line front end. It runs the very conversion of the
// window program, so its files are byte for byte the same.

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <new>
#include <optional>
#include <string>
#include <vector>

#include "base/ErrorReport.h"
#include "base/NativeFile.h"
#include "base/SystemText.h"
#include "base/Texts.h"
#include "base/Version.h"
#include "cli/CommandLine.h"
#include "cli/Console.h"
#include "cli/Inputs.h"
#include "cli/TerminalSession.h"
#include "generator/ArrayWriter.h"

namespace {

enum ExitCode { kWritten = 0, kUsageError = 2, kInputError = 3, kOutputError = 4 };

// Inputs from this size on get a progress bar on a terminal.
constexpr std::uintmax_t kProgressThreshold = 8u << 20;
// and tables from this many files on.
constexpr std::size_t kProgressFiles = 1000;

std::uintmax_t SizeOf(const std::string& path) {
    std::error_code error;
    auto size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

// The report for a failure while reading or writing: the program's text in
// the terminal's encoding, with the path as the system gave it, and the
// system's own word for the cause.
void ReportFileError(TerminalSession& session, const FileError& error) {
    std::string pattern = CodePage932ToSystemText(ErrorReportPattern(error.cause));
    std::string path = error.path.empty() ? CodePage932ToSystemText(texts::kUntitledFile) : error.path;
    session.EndProgressLine();
    std::fprintf(stderr, "%s (%s)\n", ReplacePlaceholder(pattern, path).c_str(),
                 native_file::Describe(error.systemCode).c_str());
}

int Convert(ConversionRequest request, const CommandLine& commandLine) {
    request.replaceWithoutAsking = commandLine.force;
    std::uintmax_t size = 0;
    for (const ArrayInput& array : request.arrays) {
        // A table's files are regular, as its planning found them.
        if (!array.form.table.empty() && !request.toStandardOutput) continue;
        if (auto refusal = RefusedInput(array.path, request.toStandardOutput)) {
            std::fprintf(stderr, "arrayforge: %s: %s\n", array.path.c_str(), refusal->why);
            return refusal->standardOutput ? kOutputError : kInputError;
        }
        size += SizeOf(array.path);
    }
    TerminalSession::Settings settings;
    settings.interactive = IsTerminal(0) && IsTerminal(2);  // the question asked and answered there
    settings.showProgress = IsTerminal(2) && (size >= kProgressThreshold || request.arrays.size() >= kProgressFiles);
    // Build logs carry only what went wrong.
    settings.reportDone = IsTerminal(2) && !commandLine.quiet;
    TerminalSession session(settings);
    try {
        switch (CArrayWriter::Run(request, session)) {
        case RunOutcome::Written: return kWritten;
        case RunOutcome::InputNotOpened:
        case RunOutcome::InputChanged: return kInputError;
        case RunOutcome::Declined:
        case RunOutcome::OutputNotOpened: return kOutputError;
        }
    } catch (const FileError& error) {
        ReportFileError(session, error);
        for (const ArrayInput& array : request.arrays)
            if (error.path == native_file::FullPath(array.path)) return kInputError;
        return kOutputError;
    } catch (const std::bad_alloc&) {
        session.PrintLine(texts::kOutOfMemory);
    }
    return kOutputError;
}

}  // namespace

int main(int argc, char** argv) {
    if (!PrepareProcess()) return kOutputError;
    ParseResult parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.commandLine) {
        std::fprintf(stderr, "arrayforge: %s\n\n%s", parsed.error.c_str(), Usage().c_str());
        return kUsageError;
    }
    switch (parsed.commandLine->action) {
    case CommandLine::Action::Help: std::fputs(Usage().c_str(), stdout); return kWritten;
    case CommandLine::Action::Version:
        std::printf("arrayforge (%s) %s\n", texts::kAppTitle.data(), ARRAYFORGE_VERSION_TEXT);
        return kWritten;
    case CommandLine::Action::Convert: break;
    }
    const CommandLine& commandLine = *parsed.commandLine;
    std::string error;
    const auto headerTime = SourceDateEpoch(std::getenv("SOURCE_DATE_EPOCH"), error);
    std::optional<StandardInputCopy> standardInput;
    if (error.empty() && std::count(commandLine.inputs.begin(), commandLine.inputs.end(), "-") > 0)
        standardInput.emplace(error);
    if (!error.empty()) {
        std::fprintf(stderr, "arrayforge: %s\n", error.c_str());
        return standardInput ? kInputError : kUsageError;
    }
    RunPlan plan = PlanRuns(commandLine, standardInput ? standardInput->Path() : std::string(), headerTime);
    if (!plan.error.empty()) {
        std::fprintf(stderr, "arrayforge: %s\n\n%s", plan.error.c_str(), Usage().c_str());
        return kUsageError;
    }
    for (ConversionRequest& run : plan.runs)
        if (int code = Convert(std::move(run), commandLine); code != kWritten) return code;
    return kWritten;
}
