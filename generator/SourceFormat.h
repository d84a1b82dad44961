#pragma once

// The exact text of a generated source file: comment header, declaration,
// element lines, closing. Line breaks are "\n" here; the output file's text
// mode turns each into CR LF.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/File.h"

// Element type of the generated array, as stored in the settings.
enum class DataType : std::uint32_t { Char = 0, Uint = 1, Ulong = 2 };

// A value outside 0 to 2 (only an edited setting can hold one) becomes Char.
DataType NormalizedDataType(DataType type);

struct ElementLayout {
    std::size_t bytesPerElement;
    std::size_t elementsPerLine;
    std::size_t BytesPerLine() const { return bytesPerElement * elementsPerLine; }
};

ElementLayout LayoutOf(DataType type);

namespace source_format {

// The input is read in chunks of this size, a multiple of every line's bytes,
// so lines never straddle two chunks. An input that is a non-zero multiple
// of it ends with a comma after its last element and a line of two tabs.
inline constexpr std::size_t kChunkSize = 28672;
// Chunks come in this many at a time (fewer system calls for large files).
inline constexpr std::size_t kReadSize = 8 * kChunkSize;

inline constexpr std::string_view kLineSeparator = "\n\t\t";
inline constexpr std::string_view kClosing = "\n\t};\n";

std::string HeaderOpening();
std::string NameLine(std::string_view fileName);
// Empty when the time cannot be converted to local time.
std::string CreationTimeLine(std::int64_t creationTime);
std::string SizeLine(std::uint64_t length);
std::string HeaderClosing();
std::string_view Declaration(DataType type);

// The element-line separator as it reaches a CR LF output file: element
// lines are formatted in place in the file's buffer, past its text-mode
// translation (an LF output gets "\n\t\t").
inline constexpr std::string_view kFileLineSeparator = "\r\n\t\t";

// Room one element line may take while it is formatted: eight UINT or four
// ULONG elements and a separator, plus slack for 8-byte stores.
inline constexpr std::size_t kMaxLineBytes = 72;

// Writes the element lines for one chunk of `count` bytes read from the
// input, formatted in place in the output file's buffer. A chunk shorter
// than kChunkSize is the input's last: its last element has no comma and no
// separator follows its last line. After a full chunk a separator always
// follows, since more elements may come.
void WriteChunk(DataType type, const unsigned char* bytes, std::size_t count, CFile& output);

// The header as one text, labels and name in code page 932 or UTF-8 and the
// time as local time or UTC. In code page 932 and local time it is the
// pieces above, HeaderOpening to HeaderClosing, one after the other.
struct HeaderFacts {
    std::string fileName;  // in the header's encoding
    std::int64_t creationTime = 0;
    bool utc = false;
    std::uint64_t length = 0;
    bool utf8 = false;
};
std::string HeaderText(const HeaderFacts& facts);

// Element texts of the portable form (generator/ArrayText.h): the hex
// texts of the three widths, and character literals '\xHH' for plain char,
// which take bytes of 0x80 and more without a narrowing conversion.
enum class ElementText { Hex1, Hex2, Hex4, CharLiteral };
std::size_t BytesPerElement(ElementText text);
// One element of value zero, without comma.
std::string_view ZeroElement(ElementText text);
// As WriteChunk, for the portable form's element texts.
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
// The size of the output file of a run: `header` (the comment header, "\n"
// line breaks), then the declaration, the element lines for an input of
// `length` bytes and the closing, every "\n" reaching the file as CR LF.
std::uint64_t OutputSize(std::string_view header, DataType type, std::uint64_t length);

}  // namespace source_format
