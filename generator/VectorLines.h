#pragma once

#include <cstddef>
#include <string_view>

// Whether lines may go through VectorLines at all (they may by default):
// turned off, every line is formatted element by element, the way a
// processor without byte shuffles does it.
void AllowVectorLines(bool allowed);

// One whole element line: `perLine` elements, then `separator`. An element
// is `prefix`, the two upper-case hex digits of each of its `width` bytes,
// the last byte first (the little-endian value), and `suffix`.
struct LineShape {
    std::size_t width;
    std::size_t perLine;
    std::string_view prefix;
    std::string_view suffix;
    std::string_view separator;
};

// Formats whole element lines of one shape, a line's input bytes at a time,
// with the processor's byte shuffles (SSSE3). Unusable where the processor
// has none, or where a line takes more than 16 input bytes or 64 text bytes.
class VectorLines {
public:
    // Bytes that writing one line may touch from its start, its own and
    // scratch the next line overwrites.
    static constexpr std::size_t kMaxStore = 64;

    explicit VectorLines(const LineShape& shape);
    bool Usable() const { return m_usable; }
    // Writes `lines` whole lines from `bytes` at `out`, returning their end;
    // only when Usable().
    char* Write(const unsigned char* bytes, std::size_t lines, char* out) const;

private:
    static constexpr std::size_t kVectors = kMaxStore / 16;
    static constexpr unsigned char kNone = 0x80;  // a shuffle index that gives 0

    std::size_t m_inputBytes = 0;
    std::size_t m_lineBytes = 0;
    // For each 16-byte piece of a line: where each of its bytes comes from
    // in the digits of input bytes 0-7, in those of bytes 8-15 (kNone for
    // neither), and the literal text to add.
    alignas(16) unsigned char m_fromLow[kVectors][16];
    alignas(16) unsigned char m_fromHigh[kVectors][16];
    alignas(16) unsigned char m_literals[kVectors][16];
    bool m_usable = false;
};
