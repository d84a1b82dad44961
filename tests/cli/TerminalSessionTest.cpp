#include <gtest/gtest.h>

#include <cstdio>
#include <string>

#include "cli/TerminalSession.h"

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
    std::string Printed() {
        std::fflush(out);
        return std::string(m_buffer, m_size);
    }
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

constexpr unsigned kQuestion = mb::kYesNo | mb::kIconQuestion;

TEST(TerminalSession, AsksOnATerminal) {
    Streams yes("y\n");
    TerminalSession session(yes.Settings(true));
    EXPECT_EQ(session.ShowAppMessage("exists\nreplace?", kQuestion), mb::kIdYes);
    EXPECT_EQ(yes.Printed(), "exists\nreplace? [y/N] ");
    EXPECT_FALSE(session.OverwriteRefused());

    Streams no("\n");
    TerminalSession other(no.Settings(true));
    EXPECT_EQ(other.ShowAppMessage("q", kQuestion), mb::kIdNo);
    EXPECT_TRUE(other.OverwriteRefused());
}

TEST(TerminalSession, RefusesWithoutATerminalAndSaysWhyUnlessForced) {
    Streams streams("y\n");
    TerminalSession session(streams.Settings(false));
    EXPECT_EQ(session.ShowAppMessage("exists\nreplace?", kQuestion), mb::kIdNo);
    EXPECT_EQ(streams.Printed(), "exists\n");
    EXPECT_TRUE(session.OverwriteRefused());

    Streams forced("n\n");
    TerminalSession force(forced.Settings(true, true));
    EXPECT_EQ(force.ShowAppMessage("q", kQuestion), mb::kIdYes);
    EXPECT_EQ(forced.Printed(), "") << "no question asked";
}

TEST(TerminalSession, ErrorsCarryTheirCaption) {
    Streams streams("");
    TerminalSession session(streams.Settings(false));
    EXPECT_EQ(session.ShowWindowMessage(nullptr, "broken", "E", mb::kIconStop), mb::kIdOk);
    EXPECT_EQ(streams.Printed(), "E: broken\n");
}

TEST(TerminalSession, ProgressBarIsEndedBeforeAnyMessage) {
    Streams streams("");
    auto settings = streams.Settings(false);
    settings.showProgress = true;
    TerminalSession session(settings);
    session.Advance(50);
    session.PrintLine("done");
    std::string printed = streams.Printed();
    EXPECT_NE(printed.find(" 50%"), std::string::npos);
    EXPECT_EQ(printed.substr(printed.size() - 6), "\ndone\n");
}

}  // namespace
