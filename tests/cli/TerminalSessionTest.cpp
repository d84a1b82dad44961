#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <tuple>

#include "base/SystemText.h"
#include "base/Texts.h"
#include "cli/TerminalSession.h"
#include "tests/support/TestSupport.h"

namespace {

// The session's streams in memory: the user's answers, and what it printed
// (only what it flushed: a prompt or a bar must show at once).
struct Streams {
    explicit Streams(std::string typed) : answers(std::move(typed)) {}
    ~Streams() {
        std::fclose(in);
        std::fclose(out);
        std::free(buffer);
    }
    std::string Printed() const { return std::string(buffer, size); }
    TerminalSession::Settings Settings(bool interactive, bool showProgress = false) {
        TerminalSession::Settings settings;
        settings.interactive = interactive;
        settings.showProgress = showProgress;
        settings.answers = in;
        settings.messages = out;
        return settings;
    }
    std::string answers;
    char* buffer = nullptr;
    std::size_t size = 0;
    std::FILE* in = fmemopen(answers.data(), answers.size(), "r");
    std::FILE* out = open_memstream(&buffer, &size);
};

const std::string kQuestion = CodePage932ToUtf8ByTable(texts::kOverwriteQuestion);
const std::string kExists = kQuestion.substr(0, kQuestion.find('\n'));

// On a terminal the question is asked (y or Y is yes, anything else no);
// elsewhere it is answered no, and its first line says why.
TEST(TerminalSession, AsksOnlyOnATerminal) {
    const std::string prompt = kQuestion + " [y/N] ";
    for (auto [interactive, answer, yes] : {std::tuple{true, "y\n", true}, {true, "Y\n", true}, {true, "\n", false},
                                           {true, "", false}, {false, "y\n", false}}) {
        Streams streams(answer);
        EXPECT_EQ(TerminalSession(streams.Settings(interactive)).ConfirmOverwrite("out.c"), yes) << answer;
        EXPECT_EQ(streams.Printed(), interactive ? prompt : kExists + "\n") << interactive;
    }
}

// The bar is drawn only when its figure changes, and ends at 100 (a bar at
// 0 too); an error is a line of its own after a bar still on screen.
TEST(TerminalSession, ProgressBarAndErrorLines) {
    Streams streams("");
    TerminalSession session(streams.Settings(false, true));
    for (unsigned percent : {0u, 0u}) session.Advance(percent);
    EXPECT_EQ(streams.Printed(), "\r[" + std::string(40, ' ') + "]   0%") << "shown while the run goes on";
    session.ShowDone();
    session.Finished();
    EXPECT_TRUE(streams.Printed().ends_with("]   0%\r[" + std::string(40, '#') + "] 100%\n" +
                                            CodePage932ToUtf8ByTable(texts::kFileWritten) + "\n"))
        << streams.Printed();
    Streams failing("");
    TerminalSession failed(failing.Settings(false, true));
    failed.Advance(5);
    failed.ShowError("gone", "p");
    EXPECT_EQ(failing.Printed(), "\r[" + std::string(2, '#') + std::string(38, ' ') + "]   5%\n" +
                                     CodePage932ToUtf8ByTable(texts::kErrorCaption) + ": gone: p\n");
}

}  // namespace
