#pragma once

#include <string>
#include <vector>

#include "generator/ArrayForm.h"
#include "generator/ConversionUi.h"
#include "generator/SourceFormat.h"

struct ConversionRequest {
    std::vector<ArrayInput> arrays;  // one after the other in the output
    std::string outputPath;
    // Write to the process's standard output instead of `outputPath`
    // (command-line use); no overwrite question is asked then.
    bool toStandardOutput = false;
    // Replace an existing output without asking, without even looking
    // (the front end's --force).
    bool replaceWithoutAsking = false;
    std::string headerPath{};  // a declarations header besides
    SourceStyle style{};
};

// The window program's request: one array of `type` in its classic form.
inline ConversionRequest ClassicRequest(std::string inputPath, std::string outputPath, ElementType type) {
    return {{{std::move(inputPath), {}, ArrayForm::Classic(type)}}, std::move(outputPath)};
}

// How a run ended, for callers that care (the user has been told already).
enum class RunOutcome {
    Written,
    Declined,  // the user would not overwrite the output
    InputNotOpened,
    OutputNotOpened,
    InputChanged,  // the input's length changed while it was read
};

class CArrayWriter {
public:
    // Converts the request's input into source text in its output, asking
    // before an existing output is overwritten and telling `ui` every
    // outcome. The output is replaced whole or not at all. A failure to read
    // or write once both files are open escapes as FileError, the files
    // closed and the output as it was before the run.
    static RunOutcome Run(const ConversionRequest& request, ConversionUi& ui);
};
