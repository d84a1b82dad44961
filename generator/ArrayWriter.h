#pragma once

#include <string>

#include "app/MessageBoxes.h"
#include "generator/SourceFormat.h"

struct ConversionRequest {
    std::string inputPath;
    std::string outputPath;
    DataType dataType = DataType::Char;
    // Write to the process's standard output instead of `outputPath`
    // (command-line use); no overwrite question is asked then.
    bool toStandardOutput = false;
};

// Told how a run goes; the main dialog drives its progress bar with it.
class ProgressSink {
public:
    // Both files are open; nothing written yet.
    virtual void Started() = 0;
    // After each full chunk: 0 to 100.
    virtual void Advance(unsigned percent) = 0;
    // At the end of a successful run, after the completion message.
    virtual void Finished() = 0;

protected:
    ~ProgressSink() = default;
};

// How a run ended, for callers that care (the user has been told already).
enum class RunOutcome {
    Written,
    Declined,           // the user would not overwrite the output
    InputNotOpened,
    OutputNotOpened,
};

class CArrayWriter {
public:
    // Converts the request's input into source text in its output, asking
    // before an existing output is overwritten and showing every outcome in
    // a message box (error boxes owned by `owner`). A failure to read or
    // write once both files are open escapes as FileError, the files closed
    // and the output keeping what was written.
    static RunOutcome Run(const ConversionRequest& request, ProgressSink& sink, WindowRef owner);
};
