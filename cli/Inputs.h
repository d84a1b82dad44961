#pragma once

// From a parsed command line to the runs it asks for: one per output file,
// each with its arrays named, standard input taken from a copy on disk, the
// #embed paths made relative to the output's folder.

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <vector>

#include "cli/CommandLine.h"
#include "generator/ArrayWriter.h"

struct RunPlan {
    std::vector<ConversionRequest> runs;
    std::string error;  // a usage error: names that collide, a path #embed cannot take
};

// `standardInputCopy`: the file that holds what standard input gave, when
// an input is "-". `headerTime`: SOURCE_DATE_EPOCH's moment, if set.
RunPlan PlanRuns(const CommandLine& commandLine, const std::string& standardInputCopy,
                 std::optional<std::int64_t> headerTime);

// SOURCE_DATE_EPOCH: unset or empty gives no time; anything but a decimal
// number of seconds is refused with the reason in `error`.
std::optional<std::int64_t> SourceDateEpoch(const char* value, std::string& error);

// Standard input copied to a temporary file, so that its length is known
// before the header is written; the file goes with the object.
class StandardInputCopy {
public:
    // Empty `error` on success; otherwise what went wrong.
    explicit StandardInputCopy(std::string& error);
    ~StandardInputCopy();
    StandardInputCopy(const StandardInputCopy&) = delete;
    StandardInputCopy& operator=(const StandardInputCopy&) = delete;

    // Where the copy is read from.
    const std::string& Path() const { return m_path; }

private:
    std::FILE* m_copy = nullptr;  // open while the system needs it
    std::string m_path;
};

// The name the header shows for standard input, and its array's name among
// several.
inline constexpr char kStandardInputName[] = "stdin";
