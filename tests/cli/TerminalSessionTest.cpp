#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>

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
    TerminalSession::Settings Settings(bool interactive, bool force = false) {
        TerminalSession::Settings settings;
        settings.interactive = interactive;
        settings.force = force;
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

TEST(TerminalSession, AsksOnATerminal) {
    Streams yes("y\n");
    TerminalSession session(yes.Settings(true));
    EXPECT_TRUE(session.ConfirmOverwrite("out.c"));
    std::string printed = yes.Printed();
    EXPECT_EQ(printed.find(kExists + "\n"), 0u) << printed;
    EXPECT_EQ(printed.substr(printed.size() - 7), " [y/N] ");
    Streams upper("Y\n");
    EXPECT_TRUE(TerminalSession(upper.Settings(true)).ConfirmOverwrite("out.c"));

    Streams no("\n");
    TerminalSession other(no.Settings(true));
    EXPECT_FALSE(other.ConfirmOverwrite("out.c"));
    EXPECT_TRUE(other.OverwriteRefused());
}

TEST(TerminalSession, RefusesWithoutATerminalAndSaysWhyUnlessForced) {
    Streams streams("y\n");
    TerminalSession session(streams.Settings(false));
    EXPECT_FALSE(session.ConfirmOverwrite("out.c"));
    session.ShowError("gone", "p");  // the message converted, the path as it is
    EXPECT_EQ(streams.Printed(), kExists + "\n" + testing_support::Utf8Of(texts::kErrorCaption) + ": gone: p\n");
    EXPECT_TRUE(session.OverwriteRefused());

    Streams forced("n\n");
    TerminalSession force(forced.Settings(true, true));
    EXPECT_TRUE(force.ConfirmOverwrite("out.c"));
    EXPECT_EQ(forced.Printed(), "") << "no question asked";
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
