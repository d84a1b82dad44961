// The generated text, checked on real runs: hand-written expected files for
// small inputs of each element type, and a decoder for the chunk boundaries.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "generator/ArrayWriter.h"
#include "tests/support/TestSupport.h"

using namespace testing_support;

namespace {

struct Conversion {
    std::string text;
    RecordingUi ui;
};

void Convert(const std::string& name, std::string_view input, DataType type, Conversion& result) {
    ScratchFolder folder;
    WriteBytes(folder / name, input);
    ConversionRequest request{folder / name, folder / "out.c", type};
    EXPECT_EQ(CArrayWriter::Run(request, result.ui), RunOutcome::Written);
    result.text = ReadBytes(folder / "out.c");
}

// The size the run reserves, from the header it wrote: every "\r\n" in
// it was a line break.
std::uint64_t ComputedSize(const std::string& text, DataType type, std::size_t length) {
    std::string header = text.substr(0, text.find("*/\r\n") + 4);
    std::erase(header, '\r');
    return source_format::OutputSize(header, type, length);
}

struct GoldenCase {
    const char* golden;
    const char* inputName;
    std::string input;
    DataType type;
};

std::string Bytes(std::initializer_list<int> values) {
    std::string bytes;
    for (int v : values) bytes += static_cast<char>(v);
    return bytes;
}

std::string Counting(int count) {
    std::string bytes;
    for (int i = 0; i < count; ++i) bytes += static_cast<char>(i);
    return bytes;
}

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
    ::testing::Values(GoldenCase{"ten_char.c", "ten.bin", "0123456789", DataType::Char},
                      GoldenCase{"eight_char.c", "eight.bin", "abcdefgh", DataType::Char},
                      GoldenCase{"nine_char.c", "nine.bin",
                                 Bytes({0x00, 0x7F, 0x80, 0xFF, 0x0A, 0x0D, 0x5C, 0x22, 0x41}), DataType::Char},
                      GoldenCase{"empty_char.c", "empty.bin", "", DataType::Char},
                      GoldenCase{"three_uint.c", "three.bin", Bytes({1, 2, 3}), DataType::Uint},
                      GoldenCase{"seventeen_uint.c", "seventeen.bin", Counting(17), DataType::Uint},
                      GoldenCase{"five_ulong.c", "five.bin", Bytes({1, 2, 3, 4, 5}), DataType::Ulong},
                      GoldenCase{"seventeen_ulong.c", "seventeen.bin", Counting(17), DataType::Ulong},
                      GoldenCase{"empty_ulong.c", "empty.bin", "", DataType::Ulong},
                      // A stored type outside 0 to 2 converts as char.
                      GoldenCase{"ten_char.c", "ten.bin", "0123456789", static_cast<DataType>(7)}));

// Reads the element block back: the lines between the declaration and the
// closing, each "\t\t" followed by comma-separated "0x" values.
struct ElementBlock {
    std::vector<std::string> lines;  // without the leading tabs
    std::string bytes;               // the values turned back into bytes
    bool endsWithTabsOnlyLine = false;
};

ElementBlock ReadElements(const std::string& text, std::size_t width) {
    ElementBlock block;
    std::size_t start = text.find("[] = {\r\n") + 8;
    std::size_t end = text.rfind("\r\n\t};\r\n");
    EXPECT_EQ(end + 7, text.size()) << "text ends with the closing";
    std::string body = text.substr(start, end - start);
    for (std::size_t pos = 0; pos <= body.size();) {
        std::size_t next = body.find("\r\n", pos);
        if (next == std::string::npos) next = body.size();
        std::string line = body.substr(pos, next - pos);
        EXPECT_EQ(line.substr(0, 2), "\t\t");
        block.lines.push_back(line.substr(2));
        pos = next + 2;
    }
    for (const std::string& line : block.lines) {
        for (std::size_t pos = 0; pos < line.size();) {
            EXPECT_EQ(line.substr(pos, 2), "0x");
            unsigned long value = std::stoul(line.substr(pos + 2, 2 * width), nullptr, 16);
            for (std::size_t i = 0; i < width; ++i) block.bytes += static_cast<char>(value >> (8 * i));
            pos += 2 + 2 * width;
            if (pos < line.size()) {
                EXPECT_EQ(line[pos], ',');
                ++pos;
            }
        }
    }
    block.endsWithTabsOnlyLine = !block.lines.empty() && block.lines.back().empty();
    return block;
}

struct BoundaryCase {
    std::size_t length;
    DataType type;
    std::vector<std::string> progress;
};

class ChunkBoundaries : public ::testing::TestWithParam<BoundaryCase> {};

TEST_P(ChunkBoundaries, KeepEveryByteAndTheLineRules) {
    const BoundaryCase& c = GetParam();
    const ElementLayout layout = LayoutOf(c.type);
    std::string input = Pattern(c.length);
    Conversion result;
    Convert("in.bin", input, c.type, result);

    ElementBlock block = ReadElements(result.text, layout.bytesPerElement);
    const bool multipleOfChunk = c.length % 28672 == 0;
    EXPECT_EQ(block.endsWithTabsOnlyLine, multipleOfChunk);
    std::size_t elementLines = block.lines.size() - (multipleOfChunk ? 1 : 0);
    std::size_t lineBytes = layout.BytesPerLine();
    EXPECT_EQ(elementLines, (c.length + lineBytes - 1) / lineBytes);

    // Every line but the last element line is full and ends with a comma.
    for (std::size_t i = 0; i + 1 < elementLines; ++i) {
        EXPECT_EQ(block.lines[i].size(), layout.elementsPerLine * (3 + 2 * layout.bytesPerElement)) << i;
        EXPECT_EQ(block.lines[i].back(), ',');
    }
    // The last element has its comma exactly when the input is a multiple of a chunk.
    EXPECT_EQ(block.lines[elementLines - 1].back() == ',', multipleOfChunk);

    std::string padded = input;
    padded.resize((c.length + layout.bytesPerElement - 1) / layout.bytesPerElement * layout.bytesPerElement, '\0');
    EXPECT_TRUE(block.bytes == padded) << "the values read back differ from the input";
    EXPECT_EQ(ComputedSize(result.text, c.type, c.length), result.text.size());

    std::vector<std::string> expected{"started"};
    expected.insert(expected.end(), c.progress.begin(), c.progress.end());
    expected.push_back("done");
    expected.push_back("finished");
    EXPECT_EQ(result.ui.events, expected);
}

INSTANTIATE_TEST_SUITE_P(
    AroundOneAndTwoChunks, ChunkBoundaries,
    ::testing::Values(BoundaryCase{28671, DataType::Char, {}},
                      BoundaryCase{28672, DataType::Char, {"100"}},
                      BoundaryCase{28673, DataType::Char, {"99"}},
                      BoundaryCase{57344, DataType::Char, {"50", "100"}},
                      BoundaryCase{28673, DataType::Uint, {"99"}},
                      BoundaryCase{57344, DataType::Uint, {"50", "100"}},
                      BoundaryCase{28675, DataType::Ulong, {"99"}},
                      BoundaryCase{57344, DataType::Ulong, {"50", "100"}},
                      BoundaryCase{100000, DataType::Char, {"28", "57", "86"}}));

}  // namespace
