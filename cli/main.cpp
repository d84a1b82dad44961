// arrayforge: the command-line front end. It runs the very conversion of the
// window program, so its files are byte for byte the same.

#include <clocale>
#include <cstdio>
#include <filesystem>
#include <new>
#include <string>
#include <vector>

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <unistd.h>
#endif

#include "app/ErrorReport.h"
#include "app/SystemText.h"
#include "app/Texts.h"
#include "app/Version.h"
#include "cli/CommandLine.h"
#include "cli/TerminalSession.h"
#include "generator/ArrayWriter.h"

namespace {

enum ExitCode { kWritten = 0, kUsageError = 2, kInputError = 3, kOutputError = 4 };

// Inputs from this size on get a progress bar on a terminal.
constexpr std::uintmax_t kProgressThreshold = 8u << 20;

#ifdef _WIN32
// Only a console has a console mode. _isatty would also say yes for NUL, a
// character device too, and the bar would then be drawn into nothing.
bool IsTerminal(int descriptor) {
    DWORD mode = 0;
    auto handle = reinterpret_cast<HANDLE>(::_get_osfhandle(descriptor));
    return handle != INVALID_HANDLE_VALUE && ::GetConsoleMode(handle, &mode) != 0;
}
#else
bool IsTerminal(int descriptor) { return isatty(descriptor) != 0; }
#endif

std::uintmax_t SizeOf(const std::string& path) {
    std::error_code error;
    auto size = std::filesystem::file_size(path, error);
    return error ? 0 : size;
}

// The report for a failure while reading or writing: the program's text in
// the terminal's encoding, with the path as the system gave it.
void ReportFileError(TerminalSession& session, const FileError& error) {
    std::string pattern = CodePage932ToSystemText(ErrorReportPattern(error.cause));
    std::string path = error.path.empty() ? CodePage932ToSystemText(texts::kUntitledFile) : error.path;
    session.EndProgressLine();
    std::fprintf(stderr, "%s\n", ReplacePlaceholder(pattern, path).c_str());
}

int Convert(const CommandLine& commandLine) {
    ConversionRequest request;
    request.inputPath = commandLine.input;
    request.dataType = commandLine.dataType;
    if (commandLine.output == "-") request.toStandardOutput = true;
    else request.outputPath = commandLine.output.value_or(DeriveOutputPath(commandLine.input, SystemPathEncoding()));

    TerminalSession::Settings settings;
    settings.force = commandLine.force;
    settings.interactive = IsTerminal(0) && IsTerminal(2);
    settings.showProgress = IsTerminal(2) && SizeOf(commandLine.input) >= kProgressThreshold;
    TerminalSession session(settings);
    try {
        switch (CArrayWriter::Run(request, session)) {
        case RunOutcome::Written: return kWritten;
        case RunOutcome::InputNotOpened: return kInputError;
        case RunOutcome::Declined:
        case RunOutcome::OutputNotOpened: return kOutputError;
        }
    } catch (const FileError& error) {
        ReportFileError(session, error);
        // Every failure while writing is reported as a full disk.
        return error.cause == FileErrorCause::DiskFull ? kOutputError : kInputError;
    } catch (const std::bad_alloc&) {
        session.PrintLine(texts::kOutOfMemory);
    }
    return kOutputError;
}

}  // namespace

int main(int argc, char** argv) {
#ifndef _WIN32
    std::setlocale(LC_CTYPE, "");
#endif
    ParseResult parsed = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
    if (!parsed.commandLine) {
        std::fprintf(stderr, "arrayforge: %s\n\n%s", parsed.error.c_str(), kUsage);
        return kUsageError;
    }
    switch (parsed.commandLine->action) {
    case CommandLine::Action::Help: std::fputs(kUsage, stdout); return kWritten;
    case CommandLine::Action::Version:
        std::printf("arrayforge (%s) %s\n", texts::kAppTitle.data(), ARRAYFORGE_VERSION_TEXT);
        return kWritten;
    case CommandLine::Action::Convert: break;
    }
    return Convert(*parsed.commandLine);
}
