#pragma once

// The text of one array as a run writes it: the window program's text for
// the classic form, otherwise the portable form, which compiles as C and
// as C++ with one meaning:
//   - `extern "C"` declarations for C++ readers before the definition, so
//     that a const array keeps external linkage and C linkage there too;
//   - plain char elements as character literals, with no narrowing;
//   - never an empty initialiser: an empty input gets one zero element.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "base/File.h"
#include "generator/ArrayForm.h"

// Writes the header, the declaration, the elements and the closing of one
// array of `length` bytes (the input's length when the run began) read from
// `input` through `buffer` (kReadSize bytes at least), calling `chunkDone`
// after every full chunk; `reserveSpace`: the output holds this array alone,
// and the classic form's known size is reserved in it at once. False, the
// array left unfinished, when the input does not hold `length` bytes as it
// is read (the header states the length first).
[[nodiscard]] bool WriteArray(CFile& input, std::uint64_t length, const ArrayInput& array, const SourceStyle& style,
                              bool reserveSpace, CFile& output, unsigned char* buffer,
                              const std::function<void()>& chunkDone);

// Reads `input` chunk by chunk into `write`; false when it does not hold
// `length` bytes after all (reading stops as soon as it has more). Several
// chunks come in with one read, but each is written and counted on its own.
[[nodiscard]] bool ForEachChunk(CFile& input, std::uint64_t length, unsigned char* buffer,
                                const std::function<void()>& chunkDone,
                                const std::function<void(const unsigned char*, std::size_t)>& write);

// The `#if` that chooses #embed where the compiler has it: C23 and C++
// compilers that announce it; the list follows as the fallback.
inline constexpr std::string_view kEmbedTest =
    "#if defined(__cpp_pp_embed) || (!defined(__cplusplus) && __STDC_VERSION__ >= 202311L && defined(__has_embed))";

// The declarations header for arrays with their inputs' lengths, "\n" for
// its line ends; its include guard is made from its file name.
std::string DeclarationsHeader(std::string_view headerFileName,
                               const std::vector<std::pair<ArrayForm, std::uint64_t>>& arrays);
std::string IncludeGuard(std::string_view headerFileName);
