#pragma once

// A table (--table): the files of an output found by their paths. Each
// array is written as a static array of its own, with the zero of --nul
// (ArrayText.h); after them come the table's entries, sorted bytewise by
// path, its count and a binary search that finds one, all with C linkage.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/File.h"
#include "generator/ArrayForm.h"

// The declarations of the table `name`, alike in its source and its header.
std::string TableDeclarations(std::string_view name);

// What follows the arrays of a table in its source: the declarations, an
// entry for each of `arrays` (in the order of their paths) with its input's
// length, the count and the look-up.
void WriteTable(const std::vector<ArrayInput>& arrays, const std::vector<std::uint64_t>& lengths, CFile& output);

// The header of the table `name`: its declarations, then for C++17 and
// later NAME_text (a std::string_view) and for C++20 NAME_bytes (a
// std::span<const unsigned char>), both empty for a path not in the table.
std::string TableHeader(std::string_view guard, std::string_view name);
