#pragma once

#include <cstddef>
#include <string_view>

// Byte-level rules of code page 932 (Shift-JIS), the encoding of every text
// the program handles. They hold whatever the machine's own locale is.
namespace cp932 {

// First byte of a two-byte character.
constexpr bool IsLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Length of the character starting at `pos`: 2 for a lead byte followed by a
// second byte, else 1. A lead byte at the very end counts as one byte.
constexpr std::size_t CharLength(std::string_view text, std::size_t pos) {
    return IsLeadByte(static_cast<unsigned char>(text[pos])) && pos + 1 < text.size() ? 2 : 1;
}

// The longest prefix of `text` of at most `maxBytes` bytes that does not cut
// a two-byte character.
constexpr std::string_view TruncateWhole(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes) return text;
    std::size_t end = 0;
    while (end < text.size()) {
        std::size_t next = end + CharLength(text, end);
        if (next > maxBytes) break;
        end = next;
    }
    return text.substr(0, end);
}

}  // namespace cp932
