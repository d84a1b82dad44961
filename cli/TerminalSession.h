#pragma once

#include <cstdio>
#include <string_view>

#include "generator/ConversionUi.h"

// The front end's side of a conversion: texts go to standard error in the
// terminal's encoding, the overwrite question is asked on a terminal
// (answered No elsewhere; with --force the run asks nothing), progress is drawn as a bar on
// a terminal for large inputs, redrawn only when its figure changes and
// completed to 100 when the output is written.
class TerminalSession final : public ConversionUi {
public:
    struct Settings {
        bool interactive = false;   // standard input and error are terminals
        bool showProgress = false;  // standard error is a terminal and the input is large
        bool reportDone = true;     // a line for each file written
        std::FILE* answers = stdin;
        std::FILE* messages = stderr;
    };
    explicit TerminalSession(const Settings& settings) : m_settings(settings) {}

    bool ConfirmOverwrite(std::string_view outputPath) override;
    void ShowError(std::string_view message, std::string_view path) override;
    void ShowDone() override;
    void Started() override;
    void Advance(unsigned percent) override;
    void Finished() override;

    // Prints a program text (code page 932) as a line of its own.
    void PrintLine(std::string_view text);
    // Ends a progress bar still on screen.
    void EndProgressLine();

private:
    Settings m_settings;
    bool m_barShown = false;  // on screen, its line not ended yet
    int m_drawnPercent = -1;  // the figure last drawn; -1 before the first
};
