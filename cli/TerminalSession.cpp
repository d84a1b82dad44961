#include "cli/TerminalSession.h"

#include <string>

#include "base/SystemText.h"
#include "base/Texts.h"

namespace {

constexpr int kBarWidth = 40;

}  // namespace

bool TerminalSession::ConfirmOverwrite(std::string_view) {
    // Asked before anything is opened: no bar is on screen.
    const std::string_view question = texts::kOverwriteQuestion;
    if (!m_settings.interactive) {
        // Nobody to ask: the file stays as it is. Only the question's first
        // line (the statement that the file exists) is worth printing.
        PrintLine(question.substr(0, question.find('\n')));
        return false;
    }
    std::string prompt = CodePage932ToSystemText(question);
    std::fprintf(m_settings.messages, "%s [y/N] ", prompt.c_str());
    std::fflush(m_settings.messages);
    char answer[64] = {};
    return std::fgets(answer, sizeof answer, m_settings.answers) != nullptr && (answer[0] == 'y' || answer[0] == 'Y');
}

void TerminalSession::ShowError(std::string_view message, std::string_view path) {
    std::string line(texts::kErrorCaption);
    line += ": ";
    line += message;
    // The path is the system's own text already; the message is converted.
    EndProgressLine();
    std::string shown = CodePage932ToSystemText(line);
    if (!path.empty()) shown.append(": ").append(path);
    std::fprintf(m_settings.messages, "%s\n", shown.c_str());
    std::fflush(m_settings.messages);
}

void TerminalSession::ShowDone() {
    // The bar moves only after full chunks: it reaches 100 here, before the
    // line that says so.
    if (m_drawnPercent >= 0) Advance(100);
    if (m_settings.reportDone) PrintLine(texts::kFileWritten);
}

void TerminalSession::PrintLine(std::string_view text) {
    EndProgressLine();
    std::string line = CodePage932ToSystemText(text);
    std::fprintf(m_settings.messages, "%s\n", line.c_str());
    std::fflush(m_settings.messages);
}

void TerminalSession::Started() {}

void TerminalSession::Advance(unsigned percent) {
    // Called after every chunk, thousands of times per file: only a new
    // figure is worth a write to the terminal.
    if (!m_settings.showProgress || static_cast<int>(percent) == m_drawnPercent) return;
    m_drawnPercent = static_cast<int>(percent);
    int filled = static_cast<int>(percent) * kBarWidth / 100;
    std::fprintf(m_settings.messages, "\r[%.*s%*s] %3u%%", filled, "########################################",
                 kBarWidth - filled, "", percent);
    std::fflush(m_settings.messages);
    m_barShown = true;
}

void TerminalSession::Finished() { EndProgressLine(); }

void TerminalSession::EndProgressLine() {
    if (!m_barShown) return;
    std::fputc('\n', m_settings.messages);
    m_barShown = false;
}
