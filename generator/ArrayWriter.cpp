#include "generator/ArrayWriter.h"

#include <memory>

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

bool OutputExists(const std::string& path) {
    CFile probe;
    if (probe.Open(path, OpenMode::Probe)) return false;
    probe.Close();
    return true;
}

}  // namespace

RunOutcome CArrayWriter::Run(const ConversionRequest& request, ConversionUi& ui) {
    auto buffer = std::make_unique<unsigned char[]>(kReadBufferSize);  // zero-filled
    const DataType type = NormalizedDataType(request.dataType);

    if (!request.toStandardOutput && OutputExists(request.outputPath) && !ui.ConfirmOverwrite(request.outputPath))
        return RunOutcome::Declined;

    CFile input;
    if (auto error = input.Open(request.inputPath, OpenMode::Input)) {
        if (error->cause == FileErrorCause::FileNotFound) ui.ShowError(texts::kInputNotFound);
        return RunOutcome::InputNotOpened;
    }
    CFile output;
    auto outputError = request.toStandardOutput ? output.OpenStandardOutput()
                                                : output.Open(request.outputPath, OpenMode::Output);
    if (outputError) {
        if (auto message = OutputOpenMessage(outputError->cause); !message.empty()) ui.ShowError(message);
        input.Close();
        return RunOutcome::OutputNotOpened;
    }

    ui.Started();
    const std::uint64_t length = input.Length();

    const std::string header = source_format::HeaderOpening() +
                               source_format::NameLine(SystemTextToCodePage932(input.FileName())) +
                               source_format::CreationTimeLine(input.Status().creationTime) +
                               source_format::SizeLine(length) + source_format::HeaderClosing();
    // Room for the whole text at once, where the system allows: the file
    // system then allocates once instead of at every write.
    if (!request.toStandardOutput) output.ReserveSpace(source_format::OutputSize(header, type, length));
    output.WriteString(header);
    output.WriteString(source_format::Declaration(type));

    std::uint64_t consumed = 0;
    for (;;) {
        std::size_t count = input.Read(buffer.get(), source_format::kChunkSize);
        source_format::WriteChunk(type, buffer.get(), count, output);
        if (count < source_format::kChunkSize) break;
        consumed += count;
        ui.Advance(Percent(consumed, length));
    }
    output.WriteString(source_format::kClosing);
    output.Close();
    input.Close();

    ui.ShowDone();
    ui.Finished();
    return RunOutcome::Written;
}
