#pragma once

// Helpers shared by the tests: scratch folders and files, golden files, and
// a conversion UI that records what a run shows.

#include <cstdint>
#include <deque>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "generator/ConversionUi.h"

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

#ifndef _WIN32
// A device that refuses every write as /dev/full does: made in `folder` when
// the tests run as root, who could otherwise replace /dev/full by mistake.
std::string FullDevice(const ScratchFolder& folder);
// The files without a name that process `pid` holds open in `folder`, as
// paths under /proc that lead to them: an output's or a spool's temporary.
std::vector<std::string> UnnamedFilesOpenIn(int pid, const std::filesystem::path& folder);
#endif

// A generated file with its creation-time line replaced by "@CREATED@",
// after checking that the line carries its label and a local time within a
// few minutes of now (the inputs of the tests are made just before).
std::string MaskCreationTime(const std::string& text);
std::string GoldenFile(const std::string& name);

// Records what a run shows, in order: "ask", "error:" + text, "done",
// "started", the percentages, "finished"; and answers its questions from a
// script (a question beyond the script fails the test and is answered No).
class RecordingUi final : public ConversionUi {
public:
    void AnswerNext(bool yes) { m_answers.push_back(yes); }

    bool ConfirmOverwrite(std::string_view outputPath) override;
    void ShowError(std::string_view message, std::string_view path) override {
        events.push_back("error:" + std::string(message));
        errorPaths.emplace_back(path);
    }
    void ShowDone() override { events.push_back("done"); }
    void Started() override { events.push_back("started"); }
    void Advance(unsigned percent) override {
        events.push_back(std::to_string(percent));
        if (onAdvance) onAdvance();
    }
    void Finished() override { events.push_back("finished"); }

    std::vector<std::string> events;
    std::vector<std::string> errorPaths;  // what each error was about
    std::function<void()> onAdvance;       // something done to the files mid-run

private:
    std::deque<bool> m_answers;
};

}  // namespace testing_support
