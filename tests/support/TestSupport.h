#pragma once

// Helpers shared by the tests: scratch folders and files, a message box
// host that records every box and answers from a script, a progress sink
// that records its calls.

#include <cstdint>
#include <deque>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "app/MessageBoxes.h"
#include "generator/ArrayWriter.h"

namespace testing_support {

// A fresh folder, removed with everything in it when the object dies.
class ScratchFolder {
public:
    ScratchFolder();
    ~ScratchFolder();
    ScratchFolder(const ScratchFolder&) = delete;
    ScratchFolder& operator=(const ScratchFolder&) = delete;

    const std::filesystem::path& Path() const { return m_path; }
    // The full path of `name` inside the folder, as the program's path text.
    std::string operator/(std::string_view name) const;

private:
    std::filesystem::path m_path;
};

void WriteBytes(const std::string& path, std::string_view bytes);
std::string ReadBytes(const std::string& path);
std::string Pattern(std::size_t length);  // reproducible bytes of every value

// A generated file with its creation-time line replaced by "@CREATED@",
// after checking that the line carries its label and a local time within a
// few minutes of now (the inputs of the tests are made just before).
std::string MaskCreationTime(const std::string& text);
std::string GoldenFile(const std::string& name);

struct ShownBox {
    bool appBox;  // AppMessageBox rather than WindowMessageBox
    WindowRef owner;
    std::string text;
    std::string caption;  // empty for an AppMessageBox
    unsigned style;
};

class ScriptedMessageBoxes final : public MessageBoxHost {
public:
    // Answers given to questions, in order; a question beyond the script is
    // a test failure and answered No.
    void AnswerNext(int answer) { m_answers.push_back(answer); }
    const std::vector<ShownBox>& Shown() const { return m_shown; }

    int ShowAppMessage(std::string_view text, unsigned style) override;
    int ShowWindowMessage(WindowRef owner, std::string_view text, std::string_view caption,
                          unsigned style) override;

private:
    int Answer(unsigned style);

    std::deque<int> m_answers;
    std::vector<ShownBox> m_shown;
};

class RecordingSink final : public ProgressSink {
public:
    void Started() override { events.push_back("started"); }
    void Advance(unsigned percent) override { events.push_back(std::to_string(percent)); }
    void Finished() override { events.push_back("finished"); }

    std::vector<std::string> events;
};

}  // namespace testing_support
