#include "generator/VectorLines.h"

#include <atomic>
#include <cstring>
#include <optional>
#include <vector>

#include "generator/ProcessorShuffles.h"

namespace {
std::atomic<bool> g_vectorLinesAllowed{true};
}  // namespace

void AllowVectorLines(bool allowed) { g_vectorLinesAllowed = allowed; }

VectorLines::VectorLines(const LineShape& shape) {
    // The line as a list of its bytes: a literal character, or the index of
    // a hex digit in the digits of the line's input (two per byte, the high
    // digit first).
    struct Slot {
        char literal;
        std::optional<int> digit;  // none for a literal
    };
    std::vector<Slot> line;
    const auto literal = [&](std::string_view text) {
        for (char c : text) line.push_back({c, std::nullopt});
    };
    for (std::size_t element = 0; element < shape.perLine; ++element) {
        literal(shape.prefix);
        for (std::size_t byte = shape.width; byte-- > 0;) {
            const int index = static_cast<int>(element * shape.width + byte);
            line.push_back({0, 2 * index});
            line.push_back({0, 2 * index + 1});
        }
        literal(shape.suffix);
    }
    literal(shape.separator);

    m_inputBytes = shape.width * shape.perLine;
    m_lineBytes = line.size();
    std::memset(m_fromLow, kNone, sizeof m_fromLow);
    std::memset(m_fromHigh, kNone, sizeof m_fromHigh);
    std::memset(m_literals, 0, sizeof m_literals);
    if (m_inputBytes > 16 || m_lineBytes > kMaxStore) return;
    for (std::size_t at = 0; at < line.size(); ++at) {
        const Slot& slot = line[at];
        const std::size_t vector = at / 16;
        const std::size_t lane = at % 16;
        if (!slot.digit) m_literals[vector][lane] = static_cast<unsigned char>(slot.literal);
        else if (*slot.digit < 16) m_fromLow[vector][lane] = static_cast<unsigned char>(*slot.digit);
        else m_fromHigh[vector][lane] = static_cast<unsigned char>(*slot.digit - 16);
    }
#if ARRAYFORGE_SHUFFLES
    m_usable = g_vectorLinesAllowed && ProcessorShuffles();
#endif
}

#if ARRAYFORGE_SHUFFLES
namespace {

ARRAYFORGE_WITH_SHUFFLES __m128i Load(const unsigned char* bytes) {
    return _mm_load_si128(reinterpret_cast<const __m128i*>(bytes));
}

// Only here may the compiler use SSSE3 instructions.
ARRAYFORGE_WITH_SHUFFLES char* WriteShuffled(const unsigned char* bytes, std::size_t inputBytes, std::size_t lines,
                                             std::size_t lineBytes, const unsigned char (*fromLow)[16],
                                             const unsigned char (*fromHigh)[16], const unsigned char (*literals)[16],
                                             char* out) {
    const __m128i digits =
        _mm_setr_epi8('0', '1', '2', '3', '4', '5', '6', '7', '8', '9', 'A', 'B', 'C', 'D', 'E', 'F');
    const __m128i lowNibble = _mm_set1_epi8(0x0F);
    const __m128i low[4] = {Load(fromLow[0]), Load(fromLow[1]), Load(fromLow[2]), Load(fromLow[3])};
    const __m128i high[4] = {Load(fromHigh[0]), Load(fromHigh[1]), Load(fromHigh[2]), Load(fromHigh[3])};
    const __m128i text[4] = {Load(literals[0]), Load(literals[1]), Load(literals[2]), Load(literals[3])};
    for (std::size_t i = 0; i < lines; ++i, bytes += inputBytes, out += lineBytes) {
        // A line of eight bytes must not read past its input.
        const __m128i in = inputBytes == 16 ? _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes))
                                            : _mm_loadl_epi64(reinterpret_cast<const __m128i*>(bytes));
        const __m128i highDigits = _mm_shuffle_epi8(digits, _mm_and_si128(_mm_srli_epi16(in, 4), lowNibble));
        const __m128i lowDigits = _mm_shuffle_epi8(digits, _mm_and_si128(in, lowNibble));
        const __m128i first = _mm_unpacklo_epi8(highDigits, lowDigits);   // digits of bytes 0-7
        const __m128i second = _mm_unpackhi_epi8(highDigits, lowDigits);  // of bytes 8-15
        for (int v = 0; v < 4; ++v) {
            const __m128i piece =
                _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(first, low[v]), _mm_shuffle_epi8(second, high[v])), text[v]);
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + 16 * v), piece);
        }
    }
    return out;
}

}  // namespace
#endif

char* VectorLines::Write(const unsigned char* bytes, std::size_t lines, char* out) const {
#if ARRAYFORGE_SHUFFLES
    return WriteShuffled(bytes, m_inputBytes, lines, m_lineBytes, m_fromLow, m_fromHigh, m_literals, out);
#else
    (void)bytes;
    (void)lines;
    return out;  // never called: nothing is usable here
#endif
}
