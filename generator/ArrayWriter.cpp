#include "generator/ArrayWriter.h"

#include <memory>

#include "app/ErrorReport.h"
#include "app/File.h"
#include "app/SystemText.h"
#include "app/Texts.h"

namespace {

constexpr std::size_t kReadBufferSize = 32768;

// The message for an output that could not be opened; empty for causes the
// user is not told about.
std::string_view OutputOpenMessage(FileErrorCause cause) {
    switch (cause) {
    case FileErrorCause::DiskFull: return texts::kOutputDiskFull;
    case FileErrorCause::BadPath: return texts::kOutputBadPath;
    case FileErrorCause::SharingViolation: return texts::kOutputSharingViolation;
    case FileErrorCause::AccessDenied: return texts::kOutputAccessDenied;
    default: return {};
    }
}

unsigned Percent(std::uint64_t consumed, std::uint64_t length) {
    // A file that grew while it was read would go past 100.
    if (length == 0 || consumed >= length) return 100;
    return static_cast<unsigned>(static_cast<double>(consumed) / static_cast<double>(length) * 100.0);
}

// How a file that could not be opened is reported: with its own message
// where the run has one (`message`), else with the error report's text for
// the cause, which names the file.
void ShowOpenFailure(ConversionUi& ui, const FileError& error, std::string_view message) {
    if (!message.empty()) ui.ShowError(message, error.path);
    else ui.ShowError(ErrorReportText(error), {});
}

}  // namespace

RunOutcome CArrayWriter::Run(const ConversionRequest& request, ConversionUi& ui) {
    auto buffer = std::make_unique<unsigned char[]>(kReadBufferSize);  // zero-filled
    const DataType type = NormalizedDataType(request.dataType);

    // Only a file the user agreed to replace is replaced: one that appears
    // while the run goes on makes it fail rather than be lost.
    bool replace = request.replaceWithoutAsking;
    if (!request.toStandardOutput && !replace && FileExists(request.outputPath)) {
        if (!ui.ConfirmOverwrite(request.outputPath)) return RunOutcome::Declined;
        replace = true;
    }

    CFile input;
    if (auto error = input.Open(request.inputPath, OpenMode::Input)) {
        ShowOpenFailure(ui, *error, error->cause == FileErrorCause::FileNotFound ? texts::kInputNotFound : "");
        return RunOutcome::InputNotOpened;
    }
    CFile output;
    auto outputError = request.toStandardOutput ? output.OpenStandardOutput()
                                                : output.Open(request.outputPath, OpenMode::Output, replace);
    if (outputError) {
        ShowOpenFailure(ui, *outputError, OutputOpenMessage(outputError->cause));
        input.Close();
        return RunOutcome::OutputNotOpened;
    }

    ui.Started();
    const std::uint64_t length = input.Length();

    output.WriteString(source_format::HeaderOpening());
    output.WriteString(source_format::NameLine(SystemTextToCodePage932(input.FileName())));
    output.WriteString(source_format::CreationTimeLine(input.Status().creationTime));
    output.WriteString(source_format::SizeLine(length));
    output.WriteString(source_format::HeaderClosing());
    output.WriteString(source_format::Declaration(type));

    std::uint64_t consumed = 0;
    for (;;) {
        std::size_t count = input.Read(buffer.get(), source_format::kChunkSize);
        consumed += count;
        if (consumed > length) break;  // grown: the size line is wrong already
        source_format::WriteChunk(type, buffer.get(), count, output);
        if (count < source_format::kChunkSize) break;
        ui.Advance(Percent(consumed, length));
    }
    if (consumed != length) {
        // The header's size would not match the array: the output is given
        // up (the file it was to replace stays as it was).
        ui.ShowError(texts::kInputChanged, input.FullPath());
        return RunOutcome::InputChanged;
    }
    output.WriteString(source_format::kClosing);
    output.Close();
    input.Close();

    ui.ShowDone();
    ui.Finished();
    return RunOutcome::Written;
}
