#include "generator/SourceFormat.h"

#include <array>
#include <cstring>

#include "app/TextFormat.h"

namespace {

// Labels as code page 932 bytes, independent of any compiler setting:
// "ﾃﾞｰﾀﾌｧｲﾙ名  ：", "ﾌｧｲﾙ作成日時：", "ﾃﾞｰﾀﾌｧｲﾙｻｲｽﾞ：" and the unit "ﾊﾞｲﾄ".
constexpr char kNameLabel[] = "\xC3\xDE\xB0\xC0\xCC\xA7\xB2\xD9\x96\xBC\x20\x20\x81\x46";
constexpr char kCreationLabel[] = "\xCC\xA7\xB2\xD9\x8D\xEC\x90\xAC\x93\xFA\x8E\x9E\x81\x46";
constexpr char kSizeLabel[] = "\xC3\xDE\xB0\xC0\xCC\xA7\xB2\xD9\xBB\xB2\xBD\xDE\x81\x46";
constexpr char kByteUnit[] = "\xCA\xDE\xB2\xC4";

const std::string kRule(57, '-');

// Two upper-case hexadecimal digits for every byte value.
struct HexTable {
    std::array<std::array<char, 2>, 256> digits{};
    constexpr HexTable() {
        constexpr char kDigits[] = "0123456789ABCDEF";
        for (int value = 0; value < 256; ++value) {
            digits[value][0] = kDigits[value >> 4];
            digits[value][1] = kDigits[value & 0x0F];
        }
    }
};
constexpr HexTable kHex;

// Writes "0x", the hexadecimal digits of `width` bytes (most significant
// first) and a comma; returns the element's length with its comma.
inline std::size_t PutElement(const unsigned char* value, std::size_t width, char* out) {
    out[0] = '0';
    out[1] = 'x';
    char* digits = out + 2;
    for (std::size_t i = 0; i < width; ++i) std::memcpy(digits + 2 * i, kHex.digits[value[width - 1 - i]].data(), 2);
    digits[2 * width] = ',';
    return 3 + 2 * width;
}

}  // namespace

DataType NormalizedDataType(DataType type) {
    switch (type) {
    case DataType::Char:
    case DataType::Uint:
    case DataType::Ulong: return type;
    }
    return DataType::Char;
}

ElementLayout LayoutOf(DataType type) {
    switch (NormalizedDataType(type)) {
    case DataType::Uint: return {2, 8};
    case DataType::Ulong: return {4, 4};
    case DataType::Char: break;
    }
    return {1, 8};
}

namespace source_format {

std::string HeaderOpening() { return "/*\n" + kRule + "\n"; }

std::string NameLine(std::string_view fileName) {
    std::string line = kNameLabel;
    line += fileName;
    line += '\n';
    return line;
}

std::string CreationTimeLine(std::int64_t creationTime) {
    return FormatLocalTime(creationTime, (std::string(kCreationLabel) + "%y/%m/%d %H:%M:%S\n").c_str());
}

std::string SizeLine(std::uint64_t length) {
    return FormatText("%s%llu%s\n", kSizeLabel, static_cast<unsigned long long>(length), kByteUnit);
}

std::string HeaderClosing() { return kRule + "\n*/\n"; }

std::string_view Declaration(DataType type) {
    switch (NormalizedDataType(type)) {
    case DataType::Uint: return "\tUINT rawcontents[] = {\n\t\t";
    case DataType::Ulong: return "\tULONG rawcontents[] = {\n\t\t";
    case DataType::Char: break;
    }
    return "\tchar rawcontents[] = {\n\t\t";
}

std::size_t FormatLine(DataType type, const unsigned char* bytes, std::size_t count,
                       bool lastWithoutComma, bool separatorAfter, char* out) {
    const std::size_t width = LayoutOf(type).bytesPerElement;
    char* cursor = out;
    std::size_t whole = count / width;
    if (width == 1) {
        for (std::size_t i = 0; i < whole; ++i) {
            std::memcpy(cursor, "0x", 2);
            std::memcpy(cursor + 2, kHex.digits[bytes[i]].data(), 2);
            cursor[4] = ',';
            cursor += 5;
        }
    } else {
        for (std::size_t i = 0; i < whole; ++i) cursor += PutElement(bytes + i * width, width, cursor);
    }
    if (std::size_t rest = count - whole * width; rest != 0) {
        unsigned char padded[4] = {0, 0, 0, 0};
        std::memcpy(padded, bytes + whole * width, rest);
        cursor += PutElement(padded, width, cursor);
    }
    if (lastWithoutComma && cursor != out) --cursor;
    if (separatorAfter) {
        std::memcpy(cursor, kLineSeparator.data(), kLineSeparator.size());
        cursor += kLineSeparator.size();
    }
    return static_cast<std::size_t>(cursor - out);
}

}  // namespace source_format
