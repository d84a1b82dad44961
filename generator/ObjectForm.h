#pragma once

// The arrays of one output as a relocatable object file: each in the one
// section at its alignment, as many bytes as its list would hold (the
// padding of its last element, the zero of --nul or of an empty input
// included), then the 8-byte lengths.

#include <cstdint>
#include <functional>
#include <optional>
#include <utility>
#include <vector>

#include "base/File.h"
#include "generator/ArrayForm.h"
#include "generator/ObjectFile.h"

// Where each array and length goes, and the symbols that name them.
ObjectLayout ObjectLayoutOf(const std::vector<std::pair<ArrayForm, std::uint64_t>>& arrays);

// Writes the object for `arrays` (forms with their inputs' lengths) from
// `inputs`, read through `buffer` (kReadSize bytes), calling `chunkDone`
// after every full chunk. Returns the index of an input that did not hold
// its length as it was read (or grew past what the format holds since the
// layout was planned), the object left unfinished; none when written.
[[nodiscard]] std::optional<std::size_t> WriteObject(std::vector<CFile>& inputs,
                                                     const std::vector<std::pair<ArrayForm, std::uint64_t>>& arrays,
                                                     CFile& output, unsigned char* buffer,
                                                     const std::function<void()>& chunkDone);
