#include "generator/SourceFormat.h"

#include <algorithm>
#include <array>
#include <bit>
#include <cstring>

#include "base/TextFormat.h"
#include "generator/VectorLines.h"

namespace {

// Labels as code page 932 bytes, independent of any compiler setting:
// "ﾃﾞｰﾀﾌｧｲﾙ名  ：", "ﾌｧｲﾙ作成日時：", "ﾃﾞｰﾀﾌｧｲﾙｻｲｽﾞ：" and the unit "ﾊﾞｲﾄ".
constexpr char kNameLabel[] = "\xC3\xDE\xB0\xC0\xCC\xA7\xB2\xD9\x96\xBC\x20\x20\x81\x46";
constexpr char kCreationLabel[] = "\xCC\xA7\xB2\xD9\x8D\xEC\x90\xAC\x93\xFA\x8E\x9E\x81\x46";
constexpr char kSizeLabel[] = "\xC3\xDE\xB0\xC0\xCC\xA7\xB2\xD9\xBB\xB2\xBD\xDE\x81\x46";
constexpr char kByteUnit[] = "\xCA\xDE\xB2\xC4";
// The same in UTF-8.
constexpr char kNameLabelUtf8[] =
    "\xEF\xBE\x83\xEF\xBE\x9E\xEF\xBD\xB0\xEF\xBE\x80\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99"
    "\xE5\x90\x8D\x20\x20\xEF\xBC\x9A";
constexpr char kCreationLabelUtf8[] =
    "\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99\xE4\xBD\x9C\xE6\x88\x90\xE6\x97\xA5\xE6\x99\x82"
    "\xEF\xBC\x9A";
constexpr char kSizeLabelUtf8[] =
    "\xEF\xBE\x83\xEF\xBE\x9E\xEF\xBD\xB0\xEF\xBE\x80\xEF\xBE\x8C\xEF\xBD\xA7\xEF\xBD\xB2\xEF\xBE\x99"
    "\xEF\xBD\xBB\xEF\xBD\xB2\xEF\xBD\xBD\xEF\xBE\x9E\xEF\xBC\x9A";
constexpr char kByteUnitUtf8[] = "\xEF\xBE\x8A\xEF\xBE\x9E\xEF\xBD\xB2\xEF\xBE\x84";
constexpr char kTimeFormat[] = "%y/%m/%d %H:%M:%S\n";

const std::string kRule(57, '-');

static_assert(std::endian::native == std::endian::little, "the element tables are laid out little-endian");

// Two upper-case hexadecimal digits for every byte value, first digit in
// the low byte, so that a 16-bit store writes them in reading order.
constexpr std::array<std::uint64_t, 256> MakeHexDigits() {
    constexpr char kDigits[] = "0123456789ABCDEF";
    std::array<std::uint64_t, 256> table{};
    for (unsigned value = 0; value < 256; ++value)
        table[value] =
            static_cast<std::uint64_t>(kDigits[value >> 4]) | static_cast<std::uint64_t>(kDigits[value & 0x0F]) << 8;
    return table;
}
constexpr auto kHexDigits = MakeHexDigits();

constexpr std::uint64_t kPrefix = '0' | 'x' << 8;  // "0x"
constexpr std::uint64_t kComma = ',';

inline void Store(char* out, std::uint64_t bytes) { std::memcpy(out, &bytes, sizeof bytes); }

// Each writes one element with its comma and returns its length; the
// 8-byte stores may write up to three bytes past it, which the caller's
// buffer has room for and the next element or separator overwrites.
constexpr std::array<std::uint64_t, 256> MakeCharElements() {
    std::array<std::uint64_t, 256> table{};
    for (unsigned value = 0; value < 256; ++value) table[value] = kPrefix | kHexDigits[value] << 16 | kComma << 32;
    return table;
}
constexpr auto kCharElements = MakeCharElements();

inline std::size_t PutChar(const unsigned char* b, char* out) {  // "0xHH,"
    Store(out, kCharElements[b[0]]);
    return 5;
}
inline std::size_t PutUint(const unsigned char* b, char* out) {  // "0xHHHH,": b1 is the high byte
    Store(out, kPrefix | kHexDigits[b[1]] << 16 | kHexDigits[b[0]] << 32 | kComma << 48);
    return 7;
}
inline std::size_t PutUlong(const unsigned char* b, char* out) {  // "0xHHHHHHHH,"
    Store(out, kPrefix | kHexDigits[b[3]] << 16 | kHexDigits[b[2]] << 32 | kHexDigits[b[1]] << 48);
    Store(out + 8, kHexDigits[b[0]] | kComma << 16);
    return 11;
}
inline std::size_t PutCharLiteral(const unsigned char* b, char* out) {  // "'\xHH',"
    constexpr std::uint64_t kQuote = '\'';
    Store(out, kQuote | std::uint64_t{'\\'} << 8 | std::uint64_t{'x'} << 16 | kHexDigits[b[0]] << 24 | kQuote << 40 |
                   kComma << 48);
    return 7;
}

template <std::size_t Width, std::size_t (*Put)(const unsigned char*, char*)>
inline char* PutElements(const unsigned char* bytes, std::size_t count, char* cursor) {
    std::size_t whole = count / Width;
    for (std::size_t i = 0; i < whole; ++i) cursor += Put(bytes + i * Width, cursor);
    if (std::size_t rest = count - whole * Width; rest != 0) {
        unsigned char padded[Width] = {};
        std::memcpy(padded, bytes + whole * Width, rest);
        cursor += Put(padded, cursor);
    }
    return cursor;
}

}  // namespace

namespace source_format {

namespace {

// The lines of one chunk for one element type, with the element writer
// inlined. Lines are formatted in batches into room reserved in the
// output's buffer.
// Whole lines followed by a separator go through VectorLines where it is
// usable; the input's last line, and every line where it is not, element
// by element.
template <ElementText Text, std::size_t (*Put)(const unsigned char*, char*)>
void WriteLines(const unsigned char* bytes, std::size_t count, CFile& output, std::string_view prefix,
                std::string_view suffix) {
    constexpr std::size_t kWidth = BytesPerElement(Text);
    constexpr std::size_t kPerLine = ElementsPerLine(Text);
    constexpr std::size_t kLineBytes = kWidth * kPerLine;
    constexpr std::size_t kLinesPerBatch = CFile::kMaxReserve / kMaxLineBytes;
    static_assert(kMaxLineBytes >= VectorLines::kMaxStore);
    const bool lastChunk = count < kChunkSize;
    const std::string separator = std::string(output.LineEnd()) + "\t\t";
    const VectorLines vectorLines({kWidth, kPerLine, prefix, suffix, separator});
    std::size_t pos = 0;
    while (pos < count) {
        char* const start = output.ReserveRaw(kLinesPerBatch * kMaxLineBytes);
        char* cursor = start;
        std::size_t line = 0;
        if (vectorLines.Usable()) {
            std::size_t whole = (count - pos) / kLineBytes;
            if (lastChunk && whole * kLineBytes == count - pos && whole > 0) --whole;
            line = std::min(whole, kLinesPerBatch);
            cursor = vectorLines.Write(bytes + pos, line, cursor);
            pos += line * kLineBytes;
        }
        for (; line < kLinesPerBatch && pos < count; ++line) {
            const std::size_t take = std::min(count - pos, kLineBytes);
            cursor = PutElements<kWidth, Put>(bytes + pos, take, cursor);
            pos += take;
            if (lastChunk && pos == count) {
                --cursor;  // the input's last element: no comma, no separator
            } else {
                std::memcpy(cursor, separator.data(), separator.size());
                cursor += separator.size();
            }
        }
        output.CommitRaw(static_cast<std::size_t>(cursor - start));
    }
}

}  // namespace

std::string HeaderText(const HeaderFacts& facts) {
    const bool utf8 = facts.utf8;
    std::string timeFormat = std::string(utf8 ? kCreationLabelUtf8 : kCreationLabel) + kTimeFormat;
    std::string text = "/*\n" + kRule + "\n";
    text += utf8 ? kNameLabelUtf8 : kNameLabel;
    text += facts.fileName;
    text += '\n';
    text += facts.utc ? FormatUtcTime(facts.creationTime, timeFormat.c_str())
                      : FormatLocalTime(facts.creationTime, timeFormat.c_str());
    text += FormatText("%s%llu%s\n", utf8 ? kSizeLabelUtf8 : kSizeLabel, static_cast<unsigned long long>(facts.length),
                       utf8 ? kByteUnitUtf8 : kByteUnit);
    return text + kRule + "\n*/\n";
}

std::string_view ZeroElement(ElementText text) {
    switch (text) {
    case ElementText::Hex2: return "0x0000";
    case ElementText::Hex4: return "0x00000000";
    case ElementText::CharLiteral: return "'\\x00'";
    case ElementText::Hex1: break;
    }
    return "0x00";
}

void WriteElementChunk(ElementText text, const unsigned char* bytes, std::size_t count, CFile& output) {
    switch (text) {
    case ElementText::Hex1: WriteLines<ElementText::Hex1, PutChar>(bytes, count, output, "0x", ","); break;
    case ElementText::Hex2: WriteLines<ElementText::Hex2, PutUint>(bytes, count, output, "0x", ","); break;
    case ElementText::Hex4: WriteLines<ElementText::Hex4, PutUlong>(bytes, count, output, "0x", ","); break;
    case ElementText::CharLiteral:
        WriteLines<ElementText::CharLiteral, PutCharLiteral>(bytes, count, output, "'\\x", "',");
        break;
    }
}

namespace {

// Each byte's text inside a string literal, at most four characters.
struct StringByte {
    char text[4];
    std::uint8_t length;
};
constexpr std::array<StringByte, 256> MakeStringBytes() {
    std::array<StringByte, 256> table{};
    for (unsigned value = 0; value < 256; ++value) {
        StringByte& entry = table[value];
        if (value >= 0x20 && value < 0x7F && value != '"' && value != '\\' && value != '?') {
            entry.text[0] = static_cast<char>(value);
            entry.length = 1;
        } else {
            entry.text[0] = '\\';
            entry.text[1] = static_cast<char>('0' + (value >> 6));
            entry.text[2] = static_cast<char>('0' + (value >> 3 & 7));
            entry.text[3] = static_cast<char>('0' + (value & 7));
            entry.length = 4;
        }
    }
    return table;
}
constexpr auto kStringBytes = MakeStringBytes();

}  // namespace

void WriteStringChunk(const unsigned char* bytes, std::size_t count, CFile& output) {
    const std::string_view lineEnd = output.LineEnd();
    // Each line in room for the longest: the line end, two tabs and a quote,
    // four characters a byte (the last copy four whatever its length), a quote.
    static_assert(2 + 3 + 4 * kStringLineBytes + 1 <= CFile::kMaxReserve);
    for (std::size_t pos = 0; pos < count; pos += kStringLineBytes) {
        const std::size_t end = std::min(count, pos + kStringLineBytes);
        char* const start = output.ReserveRaw(CFile::kMaxReserve);
        char* cursor = start;
        std::memcpy(cursor, lineEnd.data(), lineEnd.size());
        cursor += lineEnd.size();
        std::memcpy(cursor, "\t\t\"", 3);
        cursor += 3;
        for (std::size_t i = pos; i < end; ++i) {
            const StringByte& entry = kStringBytes[bytes[i]];
            std::memcpy(cursor, entry.text, sizeof entry.text);
            cursor += entry.length;
        }
        *cursor++ = '"';
        output.CommitRaw(static_cast<std::size_t>(cursor - start));
    }
}

std::string QuotedString(std::string_view bytes) {
    std::string text = "\"";
    for (const char byte : bytes) {
        const StringByte& entry = kStringBytes[static_cast<unsigned char>(byte)];
        text.append(entry.text, entry.length);
    }
    return text + '"';
}

namespace {

std::uint64_t SizeInFile(std::string_view text) {
    auto lineFeeds = static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n'));
    return text.size() + lineFeeds * (CFile::kLineEnd.size() - 1);
}

}  // namespace

std::uint64_t OutputSize(std::string_view before, ElementText text, std::uint64_t length, std::string_view after) {
    const std::uint64_t width = BytesPerElement(text);
    const std::uint64_t perLine = ElementsPerLine(text);
    const std::uint64_t elementBytes = ZeroElement(text).size() + 1;  // with its comma
    const std::uint64_t separatorBytes = CFile::kLineEnd.size() + 2;  // and two tabs
    // Full chunks: whole lines, each followed by a separator.
    const std::uint64_t chunkBytes =
        kChunkSize / width * elementBytes + kChunkSize / (width * perLine) * separatorBytes;
    std::uint64_t size = SizeInFile(before) + length / kChunkSize * chunkBytes + SizeInFile(after);
    // The last, short chunk: its last element has no comma and no separator
    // follows its last line.
    if (const std::uint64_t rest = length % kChunkSize; rest != 0) {
        const std::uint64_t elements = (rest + width - 1) / width;
        const std::uint64_t lines = (elements + perLine - 1) / perLine;
        size += elements * elementBytes - 1 + (lines - 1) * separatorBytes;
    }
    return size;
}

}  // namespace source_format
