// The icon, the browse button's bitmap and the no-drop cursor: their formats
// as stored, what the pictures are made of, and that the system loads them.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "tests/win/resources/ResourceReader.h"

namespace restest {
namespace {

using Rgb = std::array<std::uint8_t, 3>;

// The standard 16-colour palette in its usual order.
const Rgb kStandardPalette[16] = {
    {0, 0, 0},       {128, 0, 0},     {0, 128, 0},   {128, 128, 0}, {0, 0, 128},     {128, 0, 128},
    {0, 128, 128},   {192, 192, 192}, {128, 128, 128}, {255, 0, 0}, {0, 255, 0},     {255, 255, 0},
    {0, 0, 255},     {255, 0, 255},   {0, 255, 255}, {255, 255, 255},
};
const Rgb kBlack = {0, 0, 0};
const Rgb kDarkRed = {128, 0, 0};
const Rgb kOlive = {128, 128, 0};
const Rgb kLightGrey = {192, 192, 192};
const Rgb kYellow = {255, 255, 0};
const Rgb kWhite = {255, 255, 255};

std::string Show(const Rgb& c) {
    char text[24];
    std::snprintf(text, sizeof text, "(%u, %u, %u)", unsigned{c[0]}, unsigned{c[1]}, unsigned{c[2]});
    return text;
}

std::uint16_t Word(std::span<const std::uint8_t> data, std::size_t offset) {
    if (offset + 2 > data.size()) throw std::runtime_error("image data cut short");
    return static_cast<std::uint16_t>(data[offset] | (data[offset + 1] << 8));
}

std::uint32_t Dword(std::span<const std::uint8_t> data, std::size_t offset) {
    return Word(data, offset) | (static_cast<std::uint32_t>(Word(data, offset + 2)) << 16);
}

// A device-independent bitmap as icons, cursors and bitmaps store it: a
// BITMAPINFOHEADER, a palette, the colour rows and (for icons and cursors)
// the mask rows, all bottom-up.
struct Dib {
    std::int32_t width = 0;
    std::int32_t storedHeight = 0;   // doubled for icons and cursors
    std::uint16_t planes = 0;
    std::uint16_t bitCount = 0;
    std::uint32_t compression = 0;
    std::vector<Rgb> palette;
    std::span<const std::uint8_t> data;
    std::size_t bitsOffset = 0;

    std::size_t Stride(int bits) const { return ((static_cast<std::size_t>(width) * bits + 31) / 32) * 4; }

    // Palette index of the colour pixel (x, y), y counted from the top.
    int Index(int x, int y, int height) const {
        std::size_t row = bitsOffset + Stride(bitCount) * static_cast<std::size_t>(height - 1 - y);
        if (bitCount == 4) {
            std::uint8_t b = data[row + static_cast<std::size_t>(x) / 2];
            return x % 2 == 0 ? b >> 4 : b & 0x0F;
        }
        std::uint8_t b = data[row + static_cast<std::size_t>(x) / 8];
        return (b >> (7 - x % 8)) & 1;
    }
    // The mask bit of (x, y) in an icon or a cursor: 1 where transparent.
    int Mask(int x, int y, int height) const {
        std::size_t maskStart = bitsOffset + Stride(bitCount) * static_cast<std::size_t>(height);
        std::size_t row = maskStart + Stride(1) * static_cast<std::size_t>(height - 1 - y);
        return (data[row + static_cast<std::size_t>(x) / 8] >> (7 - x % 8)) & 1;
    }
};

Dib ReadDib(std::span<const std::uint8_t> data, int colourRows, bool withMask) {
    Dib dib;
    if (Dword(data, 0) != 40) throw std::runtime_error("not a BITMAPINFOHEADER");
    dib.width = static_cast<std::int32_t>(Dword(data, 4));
    dib.storedHeight = static_cast<std::int32_t>(Dword(data, 8));
    dib.planes = Word(data, 12);
    dib.bitCount = Word(data, 14);
    dib.compression = Dword(data, 16);
    std::uint32_t used = Dword(data, 32);
    std::size_t colours = used != 0 ? used : (dib.bitCount <= 8 ? 1u << dib.bitCount : 0u);
    for (std::size_t i = 0; i < colours; ++i) {
        std::size_t at = 40 + 4 * i;
        if (at + 4 > data.size()) throw std::runtime_error("palette cut short");
        dib.palette.push_back({data[at + 2], data[at + 1], data[at]});
    }
    dib.data = data;
    dib.bitsOffset = 40 + 4 * colours;
    std::size_t need = dib.bitsOffset + dib.Stride(dib.bitCount) * static_cast<std::size_t>(colourRows) +
                       (withMask ? dib.Stride(1) * static_cast<std::size_t>(colourRows) : 0);
    if (data.size() < need) throw std::runtime_error("pixel rows cut short");
    return dib;
}

std::vector<std::string> PaletteOf(const Dib& dib) {
    std::vector<std::string> shown;
    for (const Rgb& c : dib.palette) shown.push_back(Show(c));
    return shown;
}

std::vector<std::string> Standard() {
    std::vector<std::string> shown;
    for (const Rgb& c : kStandardPalette) shown.push_back(Show(c));
    return shown;
}

// One entry of an icon or cursor group: the directory and the image it names.
struct GroupEntry {
    std::span<const std::uint8_t> directory;   // the 14-byte entry
    std::uint16_t imageId = 0;
};

GroupEntry OnlyGroupEntry(ResourceType groupType, WORD groupId, std::uint16_t wantedKind) {
    std::span<const std::uint8_t> group = FindRawResource(groupType, groupId);
    if (group.empty()) throw std::runtime_error("no Japanese icon or cursor group");
    if (Word(group, 0) != 0 || Word(group, 2) != wantedKind) throw std::runtime_error("not an icon/cursor group");
    if (Word(group, 4) != 1) throw std::runtime_error("the group holds more or fewer images than one");
    if (group.size() < 6 + 14) throw std::runtime_error("group entry cut short");
    return {group.subspan(6, 14), Word(group, 6 + 12)};
}

TEST(ApplicationIcon, OneOpaque32x32SixteenColourImage) {
    GroupEntry entry = OnlyGroupEntry(kIconGroup, 128, 1);
    EXPECT_EQ(entry.directory[0], 32);   // width
    EXPECT_EQ(entry.directory[1], 32);   // height
    EXPECT_EQ(entry.directory[2], 16);   // colours
    EXPECT_EQ(Word(entry.directory, 4), 1);   // planes
    EXPECT_EQ(Word(entry.directory, 6), 4);   // bits per pixel

    std::span<const std::uint8_t> image = FindRawResource(kIconImage, entry.imageId);
    ASSERT_FALSE(image.empty());
    Dib dib = ReadDib(image, 32, true);
    EXPECT_EQ(dib.width, 32);
    EXPECT_EQ(dib.storedHeight, 64);
    EXPECT_EQ(dib.planes, 1);
    EXPECT_EQ(dib.bitCount, 4);
    EXPECT_EQ(dib.compression, static_cast<std::uint32_t>(BI_RGB));
    EXPECT_EQ(PaletteOf(dib), Standard());

    int transparent = 0;
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x) transparent += dib.Mask(x, y, 32);
    EXPECT_EQ(transparent, 0) << "the icon is fully opaque";
}

TEST(ApplicationIcon, DarkRedLettersInTwoLinesOnLightGrey) {
    GroupEntry entry = OnlyGroupEntry(kIconGroup, 128, 1);
    Dib dib = ReadDib(FindRawResource(kIconImage, entry.imageId), 32, true);
    ASSERT_EQ(dib.palette.size(), 16u);

    std::set<std::string> colours;
    std::vector<bool> inkRows(32, false);
    int ink = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            const Rgb& c = dib.palette[static_cast<std::size_t>(dib.Index(x, y, 32))];
            colours.insert(Show(c));
            if (c == kDarkRed) {
                inkRows[static_cast<std::size_t>(y)] = true;
                ++ink;
            }
        }
    }
    EXPECT_EQ(colours, (std::set<std::string>{Show(kDarkRed), Show(kLightGrey)}));
    EXPECT_EQ(Show(dib.palette[static_cast<std::size_t>(dib.Index(0, 0, 32))]), Show(kLightGrey)) << "ground";
    EXPECT_GT(ink, 100) << "letters large enough to read";
    EXPECT_LT(ink, 512) << "letters on a mostly grey ground";

    // Rows with ink form two bands, an upper and a lower line of text.
    int bands = 0;
    for (std::size_t y = 0; y < 32; ++y)
        if (inkRows[y] && (y == 0 || !inkRows[y - 1])) ++bands;
    EXPECT_EQ(bands, 2);
}

TEST(ApplicationIcon, LoadsAt32x32) {
    HICON icon = static_cast<HICON>(LoadImageW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(128), IMAGE_ICON, 0, 0, 0));
    ASSERT_NE(icon, nullptr) << "error " << GetLastError();
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    EXPECT_TRUE(info.fIcon);
    BITMAP colour = {};
    ASSERT_NE(info.hbmColor, nullptr);
    ASSERT_NE(GetObjectW(info.hbmColor, sizeof colour, &colour), 0);
    EXPECT_EQ(colour.bmWidth, 32);
    EXPECT_EQ(colour.bmHeight, 32);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

TEST(BrowseBitmap, SixteenBy16UncompressedSixteenColours) {
    std::span<const std::uint8_t> raw = FindRawResource(kBitmap, 129);
    ASSERT_FALSE(raw.empty()) << "no Japanese bitmap 129";
    Dib dib = ReadDib(raw, 16, false);
    EXPECT_EQ(dib.width, 16);
    EXPECT_EQ(dib.storedHeight, 16);
    EXPECT_EQ(dib.planes, 1);
    EXPECT_EQ(dib.bitCount, 4);
    EXPECT_EQ(dib.compression, static_cast<std::uint32_t>(BI_RGB));
    EXPECT_EQ(PaletteOf(dib), Standard());

    HBITMAP bitmap = LoadBitmapW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(129));
    ASSERT_NE(bitmap, nullptr);
    BITMAP info = {};
    ASSERT_NE(GetObjectW(bitmap, sizeof info, &info), 0);
    EXPECT_EQ(info.bmWidth, 16);
    EXPECT_EQ(info.bmHeight, 16);
    DeleteObject(bitmap);
}

TEST(BrowseBitmap, FolderColoursOnButtonFaceGrey) {
    Dib dib = ReadDib(FindRawResource(kBitmap, 129), 16, false);
    ASSERT_EQ(dib.palette.size(), 16u);
    std::set<std::string> colours;
    for (int y = 0; y < 16; ++y)
        for (int x = 0; x < 16; ++x) colours.insert(Show(dib.palette[static_cast<std::size_t>(dib.Index(x, y, 16))]));
    // Yellow and white chequer, olive flap, black outline and arrow, grey ground.
    EXPECT_EQ(colours, (std::set<std::string>{Show(kBlack), Show(kOlive), Show(kLightGrey), Show(kYellow), Show(kWhite)}));
    for (auto [x, y] : {std::pair{0, 0}, std::pair{15, 0}, std::pair{0, 15}, std::pair{15, 15}})
        EXPECT_EQ(Show(dib.palette[static_cast<std::size_t>(dib.Index(x, y, 16))]), Show(kLightGrey))
            << "corner " << x << "," << y;
}

TEST(NoDropCursor, MonochromeCircleWithSlashAroundItsHotSpot) {
    GroupEntry entry = OnlyGroupEntry(kCursorGroup, 30982, 2);
    std::span<const std::uint8_t> raw = FindRawResource(kCursorImage, entry.imageId);
    ASSERT_GT(raw.size(), 4u);
    int hotX = Word(raw, 0);
    int hotY = Word(raw, 2);
    Dib dib = ReadDib(raw.subspan(4), 32, true);
    EXPECT_EQ(dib.width, 32);
    EXPECT_EQ(dib.storedHeight, 64);
    EXPECT_EQ(dib.bitCount, 1);
    ASSERT_EQ(dib.palette.size(), 2u);
    EXPECT_EQ(Show(dib.palette[0]), Show(kBlack));
    EXPECT_EQ(Show(dib.palette[1]), Show(kWhite));

    int left = 32, right = -1, top = 32, bottom = -1, black = 0, white = 0, inverted = 0;
    for (int y = 0; y < 32; ++y) {
        for (int x = 0; x < 32; ++x) {
            int mask = dib.Mask(x, y, 32);
            int colour = dib.Index(x, y, 32);
            if (mask == 1) {
                inverted += colour;   // screen-inverting pixels look broken on most grounds
                continue;
            }
            (colour == 0 ? black : white) += 1;
            left = (std::min)(left, x);
            right = (std::max)(right, x);
            top = (std::min)(top, y);
            bottom = (std::max)(bottom, y);
        }
    }
    EXPECT_EQ(inverted, 0);
    EXPECT_GT(black, 0);
    EXPECT_GT(white, 0) << "a white edge keeps the sign visible on dark grounds";
    // The sign is round and the hot spot sits in its middle, on the slash.
    EXPECT_EQ(right - left, bottom - top);
    EXPECT_LE(std::abs(2 * hotX - (left + right)), 1);
    EXPECT_LE(std::abs(2 * hotY - (top + bottom)), 1);
    EXPECT_EQ(dib.Mask(hotX, hotY, 32), 0);
    EXPECT_EQ(dib.Index(hotX, hotY, 32), 0) << "black at the hot spot";
    for (auto [x, y] : {std::pair{0, 0}, std::pair{31, 0}, std::pair{0, 31}, std::pair{31, 31}})
        EXPECT_EQ(dib.Mask(x, y, 32), 1) << "corner " << x << "," << y << " transparent";

    HCURSOR cursor = LoadCursorW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(30982));
    ASSERT_NE(cursor, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(cursor, &info));
    EXPECT_FALSE(info.fIcon);
    EXPECT_EQ(static_cast<int>(info.xHotspot), hotX);
    EXPECT_EQ(static_cast<int>(info.yHotspot), hotY);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
}

} // namespace
} // namespace restest
