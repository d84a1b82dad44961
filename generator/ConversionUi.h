#pragma once

#include <string_view>

// What a conversion run shows its user, and its progress. The window program
// answers with message boxes and its progress bar, the command-line front
// end on the terminal, the tests with a recording.
class ConversionUi {
public:
    // `outputPath` exists: may the run replace it? (Asked before anything is
    // opened; the text to ask is texts::kOverwriteQuestion.)
    virtual bool ConfirmOverwrite(std::string_view outputPath) = 0;
    // A failure the run reports itself: a program text (code page 932) for
    // an error box, caption texts::kErrorCaption. `path` is the file it is
    // about, for a front end that names it; empty when the text names it.
    virtual void ShowError(std::string_view message, std::string_view path) = 0;
    // The output is complete: texts::kFileWritten.
    virtual void ShowDone() = 0;

    // Both files are open; nothing written yet.
    virtual void Started() = 0;
    // After each full chunk: 0 to 100.
    virtual void Advance(unsigned percent) = 0;
    // At the end of a successful run, after ShowDone.
    virtual void Finished() = 0;

protected:
    ~ConversionUi() = default;
};
