#pragma once

#include <cstdint>
#include <cstdio>

#include "app/MessageBoxes.h"
#include "generator/ArrayWriter.h"

// The front end's stand-in for message boxes and the progress bar: texts go
// to standard error in the terminal's encoding, the overwrite question is
// asked on a terminal (answered No elsewhere, Yes with --force), progress is
// drawn as a bar on a terminal for large inputs.
class TerminalSession final : public MessageBoxHost, public ProgressSink {
public:
    struct Settings {
        bool force = false;
        bool interactive = false;   // standard input and error are terminals
        bool showProgress = false;  // standard error is a terminal and the input is large
        std::FILE* answers = stdin;
        std::FILE* messages = stderr;
    };
    explicit TerminalSession(const Settings& settings) : m_settings(settings) {}

    int ShowAppMessage(std::string_view text, unsigned style) override;
    int ShowWindowMessage(WindowRef owner, std::string_view text, std::string_view caption,
                          unsigned style) override;

    void Started() override;
    void Advance(unsigned percent) override;
    void Finished() override;

    // Prints a program text (code page 932) as a line of its own.
    void PrintLine(std::string_view text);
    // Ends a progress bar still on screen.
    void EndProgressLine();

    bool OverwriteRefused() const { return m_overwriteRefused; }

private:
    int Ask(std::string_view question);

    Settings m_settings;
    bool m_barShown = false;
    bool m_overwriteRefused = false;
};
