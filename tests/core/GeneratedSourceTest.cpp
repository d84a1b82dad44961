// The generated text, checked on real runs: hand-written expected files for
// small inputs of each element type, and around the chunk boundaries the
// element lines built the plain way.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generator/ArrayWriter.h"
#include "generator/VectorLines.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

struct Conversion {
    std::string text;
    RecordingUi ui;
};

void Convert(const std::string& name, std::string_view input, ElementType type, Conversion& result) {
    ScratchFolder folder;
    WriteBytes(folder / name, input);
#ifndef _WIN32  // (Wine gives the last write as the creation time)
    // Long since changed: the header's time is the creation, not the last write.
    const auto path = folder.Path() / name;
    std::filesystem::last_write_time(path, std::filesystem::last_write_time(path) - std::chrono::hours(24 * 365));
#endif
    EXPECT_EQ(CArrayWriter::Run(ClassicRequest(folder / name, folder / "out.c", type), result.ui), RunOutcome::Written);
    result.text = ReadBytes(folder / "out.c");
}

// The size the run reserves, from what it wrote before the elements:
// every "\r\n" in it was a line break.
std::uint64_t ComputedSize(const std::string& text, ElementType type, std::size_t length) {
    std::string before = text.substr(0, text.find("{\r\n\t\t") + 5);
    std::erase(before, '\r');
    return source_format::OutputSize(before, ArrayForm::Classic(type).Text(), length, source_format::kClosing);
}

struct GoldenCase {
    const char* golden;
    const char* inputName;
    std::string input;
    ElementType type;
};

class GoldenOutput : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenOutput, MatchesTheHandWrittenFile) {
    const GoldenCase& c = GetParam();
    Conversion result;
    Convert(c.inputName, c.input, c.type, result);
    EXPECT_EQ(MaskCreationTime(result.text), GoldenFile(c.golden));
    EXPECT_EQ(ComputedSize(result.text, c.type, c.input.size()), result.text.size());
}

INSTANTIATE_TEST_SUITE_P(
    EveryType, GoldenOutput,
    ::testing::Values(GoldenCase{"ten_char.c", "ten.bin", "0123456789", ElementType::Char},
                      GoldenCase{"eight_char.c", "eight.bin", "abcdefgh", ElementType::Char},
                      GoldenCase{"nine_char.c", "nine.bin", {"\x00\x7F\x80\xFF\n\r\\\"A", 9}, ElementType::Char},
                      GoldenCase{"empty_char.c", "empty.bin", "", ElementType::Char},
                      GoldenCase{"three_uint.c", "three.bin", "\x01\x02\x03", ElementType::Uint},
                      GoldenCase{"seventeen_uint.c", "seventeen.bin", {"\0\1\2\3\4\5\6\7\10\11\12\13\14\15\16\17\20", 17}, ElementType::Uint},
                      GoldenCase{"five_ulong.c", "five.bin", "\x01\x02\x03\x04\x05", ElementType::Ulong}));

// The bytes the element lines hold, read back little-endian (a wide
// element's missing high bytes are zeros).
std::string BytesIn(const std::string& elements, std::size_t width) {
    std::string bytes;
    for (auto at = elements.find("0x"); at != std::string::npos; at = elements.find("0x", at + 1))
        for (std::size_t b = 0, value = std::stoul(elements.substr(at + 2, 2 * width), nullptr, 16); b < width; ++b)
            bytes += static_cast<char>(value >> (8 * b));
    return bytes;
}

struct BoundaryCase {
    std::size_t length;
    ElementType type;
    std::vector<std::string> progress;
};

class ChunkBoundaries : public ::testing::TestWithParam<BoundaryCase> {};

TEST_P(ChunkBoundaries, KeepEveryByteAndTheLineRules) {
    const BoundaryCase& c = GetParam();
    std::string input = Pattern(c.length);
    Conversion result, elementByElement;
    AllowVectorLines(false);
    Convert("in.bin", input, c.type, elementByElement);
    AllowVectorLines(true);
    Convert("in.bin", input, c.type, result);
    const auto elementsOf = [](const std::string& text) { return text.substr(text.find("[] = {\r\n") + 8); };
    const std::string elements = elementsOf(result.text);
    EXPECT_TRUE(elements == elementsOf(elementByElement.text)) << "the two ways of writing lines differ";
    const std::size_t width = WidthOf(c.type);
    input.resize((input.size() + width - 1) / width * width, '\0');
    EXPECT_TRUE(BytesIn(elements, width) == input);
    // Lines of 8 elements (4 of ULONG); a whole number of chunks ends in a comma and a line of two tabs.
    EXPECT_EQ(elements.find(",\r\n\t\t"), (width == 4 ? 4 : 8) * (2 * width + 3) + 1) << "the first line";
    EXPECT_TRUE(elements.ends_with(c.length % 28672 == 0 ? ",\r\n\t\t\r\n\t};\r\n" : "\r\n\t};\r\n"));
    EXPECT_EQ(ComputedSize(result.text, c.type, c.length), result.text.size());

    std::vector<std::string> expected = c.progress;
    expected.insert(expected.begin(), "started");
    expected.insert(expected.end(), {"done", "finished"});
    EXPECT_EQ(result.ui.events, expected);
}

INSTANTIATE_TEST_SUITE_P(
    AroundOneAndTwoChunks, ChunkBoundaries,
    ::testing::Values(BoundaryCase{28671, ElementType::Char, {}},
                      BoundaryCase{28672, ElementType::Char, {"100"}},
                      BoundaryCase{28673, ElementType::Char, {"99"}},
                      BoundaryCase{57344, ElementType::Char, {"50", "100"}},
                      BoundaryCase{28673, ElementType::Uint, {"99"}},
                      BoundaryCase{57344, ElementType::Uint, {"50", "100"}},
                      BoundaryCase{28675, ElementType::Ulong, {"99"}},
                      BoundaryCase{57344, ElementType::Ulong, {"50", "100"}},
                      BoundaryCase{100000, ElementType::Char, {"28", "57", "86"}},
                      // Eight chunks come in with one read: the ninth with the next.
                      BoundaryCase{8 * 28672 + 1, ElementType::Ulong, {"12", "24", "37", "49", "62", "74", "87", "99"}}));

// Large inputs are quick because whole lines are formatted a vector at a
// time: that must not quietly give way to the element-by-element path.
TEST(VectorLines, TakeLinesOfUpTo16InputAnd64TextBytes) {
#if defined(__GNUC__) && (defined(__x86_64__) || defined(__i386__))
    if (!__builtin_cpu_supports("ssse3")) GTEST_SKIP() << "no byte shuffles on this processor";
#else
    GTEST_SKIP() << "not an x86 build";
#endif
    EXPECT_TRUE(VectorLines({4, 4, "0x", ",", std::string(20, '\t')}).Usable());
    EXPECT_FALSE(VectorLines({4, 4, "0x", ",", std::string(21, '\t')}).Usable());
    EXPECT_FALSE(VectorLines({17, 1, "", "", ""}).Usable());
    AllowVectorLines(false);  // what the element-by-element runs above rely on
    EXPECT_FALSE(VectorLines({4, 4, "0x", ",", ""}).Usable());
    AllowVectorLines(true);
}

}  // namespace
