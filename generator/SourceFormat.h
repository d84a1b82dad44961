#pragma once

// The pieces of a generated source file's text: the comment header, element
// lines, string-literal pieces. Line breaks are "\n" here; the output
// file's text mode turns each into CR LF (or leaves it, for LF outputs).

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/File.h"

namespace source_format {

// The input is read in chunks of this size, a multiple of every line's bytes,
// so lines never straddle two chunks. An input that is a non-zero multiple
// of it ends with a comma after its last element and a line of two tabs.
inline constexpr std::size_t kChunkSize = 28672;
// Chunks come in this many at a time (fewer system calls for large files).
inline constexpr std::size_t kReadSize = 8 * kChunkSize;

inline constexpr std::string_view kClosing = "\n\t};\n";

// Room one element line may take while it is formatted: eight UINT or four
// ULONG elements and a separator, plus slack for 8-byte stores.
inline constexpr std::size_t kMaxLineBytes = 72;

// The header as one text, labels and name in code page 932 or UTF-8 and the
// time as local time or UTC.
struct HeaderFacts {
    std::string fileName;  // in the header's encoding
    std::int64_t creationTime = 0;
    bool utc = false;
    std::uint64_t length = 0;
    bool utf8 = false;
};
std::string HeaderText(const HeaderFacts& facts);

// How list elements are spelled: upper-case hexadecimal "0xHH" of 1, 2 or
// 4 input bytes (the last byte first: the little-endian value), or
// character literals '\xHH', which take bytes of 0x80 and more into plain
// char without a narrowing conversion. Eight elements make a line, four of
// four bytes.
enum class ElementText { Hex1, Hex2, Hex4, CharLiteral };
constexpr std::size_t BytesPerElement(ElementText text) {
    return text == ElementText::Hex2 ? 2 : text == ElementText::Hex4 ? 4 : 1;
}
constexpr std::size_t ElementsPerLine(ElementText text) { return text == ElementText::Hex4 ? 4 : 8; }
// One element of value zero, without comma.
std::string_view ZeroElement(ElementText text);

// Writes the element lines for one chunk of `count` bytes read from the
// input, formatted in place in the output file's buffer. A chunk shorter
// than kChunkSize is the input's last: its last element has no comma and no
// separator follows its last line. After a full chunk a separator always
// follows, since more elements may come. A line's separator is a line end
// and two tabs; a trailing partial element takes zeros for its missing bytes.
void WriteElementChunk(ElementText text, const unsigned char* bytes, std::size_t count, CFile& output);

// String-literal pieces: every kStringLineBytes bytes of input make one
// piece on a line of its own, each written as a line end, two tabs and the
// quoted piece. Printable ASCII stands as itself except '"', '\\' and '?'
// (no trigraphs); every other byte is a three-digit octal escape, so no
// escape runs into the next character. A piece stays far below the 16,380
// characters some compilers allow.
inline constexpr std::size_t kStringLineBytes = 64;
static_assert(kChunkSize % kStringLineBytes == 0);
void WriteStringChunk(const unsigned char* bytes, std::size_t count, CFile& output);
// `bytes` as one C string literal, quotes included, each byte spelled as in
// the pieces above.
std::string QuotedString(std::string_view bytes);

// The size in a CR LF output file of `before`, the element lines of `text`
// for an input of `length` bytes, and `after` ("\n" line breaks in both,
// each reaching the file as CR LF).
std::uint64_t OutputSize(std::string_view before, ElementText text, std::uint64_t length, std::string_view after);

}  // namespace source_format
