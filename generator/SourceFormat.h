#pragma once

// The exact text of a generated source file: comment header, declaration,
// element lines, closing. Line breaks are "\n" here; the output file's text
// mode turns each into CR LF.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

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

// Longest line FormatLine produces (eight UINT or four ULONG elements and a
// separator), plus slack for the formatter's 8-byte stores.
inline constexpr std::size_t kMaxLineBytes = 72;

// Formats the elements of one line held in `bytes` into `out` (at least
// kMaxLineBytes). A partial last element takes zero for its missing high
// bytes. Every element carries its comma unless `lastWithoutComma`; the
// separator follows when `separatorAfter`. Returns the length written.
std::size_t FormatLine(DataType type, const unsigned char* bytes, std::size_t count,
                       bool lastWithoutComma, bool separatorAfter, char* out);

// Writes the element lines for one chunk of `count` bytes read from the
// input. A chunk shorter than kChunkSize is the input's last: its last
// element has no comma and no separator follows its last line. After a full
// chunk a separator always follows, since more elements may come.
template <class Output>
void WriteChunk(DataType type, const unsigned char* bytes, std::size_t count, Output& output) {
    const std::size_t lineBytes = LayoutOf(type).BytesPerLine();
    const bool lastChunk = count < kChunkSize;
    char line[kMaxLineBytes];
    for (std::size_t pos = 0; pos < count; pos += lineBytes) {
        std::size_t take = count - pos < lineBytes ? count - pos : lineBytes;
        bool lastLine = pos + take == count;
        std::size_t length = FormatLine(type, bytes + pos, take, lastChunk && lastLine,
                                        !(lastChunk && lastLine), line);
        output.WriteString(std::string_view(line, length));
    }
}

}  // namespace source_format
