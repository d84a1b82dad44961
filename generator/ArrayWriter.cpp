#include "generator/ArrayWriter.h"

#include <memory>

#include "base/ErrorReport.h"
#include "base/File.h"
#include "base/Texts.h"
#include "generator/ArrayText.h"
#include "generator/ObjectForm.h"
#include "generator/TableText.h"

namespace {

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

// Only whole chunks of the inputs' stated lengths are counted: `consumed`
// never passes `length`, and there is no count at all for empty inputs.
unsigned Percent(std::uint64_t consumed, std::uint64_t length) {
    return static_cast<unsigned>(static_cast<double>(consumed) / static_cast<double>(length) * 100.0);
}

// How a file that could not be opened is reported: with its own message
// where the run has one (`message`), else with the error report's text for
// the cause, which names the file by its full path as every report does.
void ShowOpenFailure(ConversionUi& ui, FileError error, std::string_view message) {
    if (!message.empty()) return ui.ShowError(message, error.path);
    if (!error.path.empty()) error.path = native_file::FullPath(error.path);
    ui.ShowError(ErrorReportText(error), {});
}

}  // namespace

RunOutcome CArrayWriter::Run(const ConversionRequest& request, ConversionUi& ui) {
    auto buffer = std::make_unique<unsigned char[]>(source_format::kReadSize);  // zero-filled
    const std::vector<ArrayInput>& arrays = request.arrays;
    const bool withHeader = !request.headerPath.empty();

    // Only a file the user agreed to replace is replaced: one that appears
    // while the run goes on makes it fail rather than be lost.
    // `replace` comes in as whether that was agreed beforehand.
    const auto mayReplace = [&](const std::string& path, bool& replace) {
        if (replace || !OutputWouldReplace(path)) return true;
        return replace = ui.ConfirmOverwrite(path);
    };
    bool replaceOutput = request.replaceWithoutAsking;
    bool replaceHeader = request.replaceWithoutAsking;
    if (!request.toStandardOutput && !mayReplace(request.outputPath, replaceOutput)) return RunOutcome::Declined;
    if (withHeader && !mayReplace(request.headerPath, replaceHeader)) return RunOutcome::Declined;

    const auto openInput = [&ui](CFile& input, const std::string& path) {
        auto error = input.Open(path, OpenMode::Input);
        if (error)
            ShowOpenFailure(ui, *error, error->cause == FileErrorCause::FileNotFound ? texts::kInputNotFound : "");
        return !error;
    };
    // A table may have more files than a process may hold open: each is
    // opened as its array is written, and the run counts files, not bytes.
    const bool table = !arrays.front().form.table.empty();
    std::vector<CFile> inputs(table ? 1 : arrays.size());
    for (std::size_t i = 0; i < arrays.size() && !table; ++i)
        if (!openInput(inputs[i], arrays[i].path)) return RunOutcome::InputNotOpened;
    CFile output;
    auto outputError = request.toStandardOutput ? output.OpenStandardOutput()
                                                : output.Open(request.outputPath, OpenMode::Output, replaceOutput);
    CFile header;
    if (!outputError && withHeader) outputError = header.Open(request.headerPath, OpenMode::Output, replaceHeader);
    if (outputError) {
        ShowOpenFailure(ui, *outputError, OutputOpenMessage(outputError->cause));
        for (CFile& input : inputs) input.Close();
        return RunOutcome::OutputNotOpened;
    }
    if (request.style.lfLineEnds) {
        output.UseLfLineEnds();
        header.UseLfLineEnds();
    }

    ui.Started();
    std::uint64_t length = 0;
    std::vector<std::pair<ArrayForm, std::uint64_t>> declared;
    for (std::size_t i = 0; i < arrays.size() && !table; ++i) {
        declared.emplace_back(arrays[i].form, inputs[i].Length());
        length += declared.back().second;
    }
    std::uint64_t consumed = 0;
    const auto chunkDone = [&] {
        if (table) return;
        consumed += source_format::kChunkSize;
        ui.Advance(Percent(consumed, length));
    };
    // The input that does not hold the length stated first, if one does not.
    std::optional<std::size_t> changed;
    if (arrays.front().form.format == ArrayFormat::Object) {
        output.UseLfLineEnds();  // no text: every byte as it is
        changed = WriteObject(inputs, declared, output, buffer.get(), chunkDone);
    } else if (table) {
        std::vector<std::uint64_t> lengths(arrays.size());
        for (std::size_t i = 0; i < arrays.size(); ++i) {
            if (!openInput(inputs[0], arrays[i].path)) return RunOutcome::InputNotOpened;
            lengths[i] = inputs[0].Length();
            if (!WriteArray(inputs[0], lengths[i], arrays[i], request.style, false, output, buffer.get(), chunkDone)) {
                changed = 0;  // the input open now
                break;
            }
            ui.Advance(Percent(i + 1, arrays.size()));
        }
        if (!changed) WriteTable(arrays, lengths, output);
    } else {
        // One array in CR LF text: its size is known, and room for it all is
        // reserved at once where the system allows.
        const bool reserve = arrays.size() == 1 && !request.toStandardOutput && !request.style.lfLineEnds;
        for (std::size_t i = 0; i < arrays.size() && !changed; ++i)
            if (!WriteArray(inputs[i], declared[i].second, arrays[i], request.style, reserve, output, buffer.get(),
                            chunkDone))
                changed = i;
    }
    if (changed) {
        // The sizes written would not match the data: the output is given
        // up (the file it was to replace stays as it was).
        ui.ShowError(texts::kInputChanged, inputs[*changed].FullPath());
        return RunOutcome::InputChanged;
    }
    // Both files complete before either takes its place: a failure up to
    // here (a full disk above all) leaves both as they were.
    output.Finish();
    if (withHeader) {
        const std::string_view name = native_file::LastComponent(header.FullPath());
        header.WriteString(table ? TableHeader(IncludeGuard(name), arrays.front().form.table)
                                 : DeclarationsHeader(name, declared));
        header.Finish();
    }
    output.Close();
    header.Close();
    for (CFile& input : inputs) input.Close();

    ui.ShowDone();
    ui.Finished();
    return RunOutcome::Written;
}
