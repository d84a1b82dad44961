#pragma once

// The exact text of a generated source file: comment header, declaration,
// element lines, closing. Line breaks are "\n" here; the output file's text
// mode turns each into CR LF.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "app/File.h"

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

inline constexpr std::string_view kLineSeparator = "\n\t\t";
inline constexpr std::string_view kClosing = "\n\t};\n";

std::string HeaderOpening();
std::string NameLine(std::string_view fileName);
// Empty when the time cannot be converted to local time.
std::string CreationTimeLine(std::int64_t creationTime);
std::string SizeLine(std::uint64_t length);
std::string HeaderClosing();
std::string_view Declaration(DataType type);

// The element-line separator as it reaches the output file: element lines
// are formatted in place in the file's buffer, past its text-mode
// translation.
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

// The size of the output file of a run: `header` (the comment header, "\n"
// line breaks), then the declaration, the element lines for an input of
// `length` bytes and the closing, every "\n" reaching the file as CR LF.
std::uint64_t OutputSize(std::string_view header, DataType type, std::uint64_t length);

}  // namespace source_format
