#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <tuple>

#include "base/Texts.h"
#include "cli/TerminalSession.h"
#include "tests/support/TestSupport.h"

namespace {

// A pair of in-memory streams: the user's answers and what the session prints.
class Streams {
public:
    explicit Streams(const char* answers) : m_answers(answers) {
        in = fmemopen(m_answers.data(), m_answers.size(), "r");
        out = open_memstream(&m_buffer, &m_size);
    }
    ~Streams() {
        std::fclose(in);
        std::fclose(out);
        std::free(m_buffer);
    }
    // Only what the session flushed: a prompt or a bar must show at once.
    std::string Printed() const { return std::string(m_buffer, m_size); }
    TerminalSession::Settings Settings(bool interactive) {
        TerminalSession::Settings settings;
        settings.interactive = interactive;
        settings.answers = in;
        settings.messages = out;
        return settings;
    }
    std::FILE* in;
    std::FILE* out;

private:
    std::string m_answers;
    char* m_buffer = nullptr;
    std::size_t m_size = 0;
};

const std::string kQuestion = testing_support::Utf8Of(texts::kOverwriteQuestion);
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

// An error is a line of its own, after a bar still on screen.
TEST(TerminalSession, ErrorsAreConvertedAndTheirPathsKept) {
    Streams streams("");
    auto settings = streams.Settings(false);
    settings.showProgress = true;
    TerminalSession session(settings);
    session.Advance(5);
    session.ShowError("gone", "p");
    EXPECT_TRUE(streams.Printed().ends_with("]   5%\n" + testing_support::Utf8Of(texts::kErrorCaption) + ": gone: p\n"))
        << streams.Printed();
}

TEST(TerminalSession, ProgressIsDrawnOnlyWhenItsFigureChangesAndEndsAtHundred) {
    Streams streams("");
    auto settings = streams.Settings(false);
    settings.showProgress = true;
    TerminalSession session(settings);
    for (unsigned percent : {0u, 0u}) session.Advance(percent);  // a bar at 0 too ends at 100
    EXPECT_TRUE(streams.Printed().ends_with("[" + std::string(40, ' ') + "]   0%")) << "shown while the run goes on";
    session.ShowDone();
    session.Finished();
    std::string printed = streams.Printed();
    EXPECT_EQ(std::count(printed.begin(), printed.end(), '\r'), 2) << printed;  // 0, 100
    std::size_t last = printed.rfind('\r');
    EXPECT_EQ(printed.compare(last, 49, "\r[########################################] 100%\n"), 0) << printed;
    EXPECT_EQ(std::count(printed.begin() + last, printed.end(), '\n'), 2) << "one line for the message, none after";
}

}  // namespace
