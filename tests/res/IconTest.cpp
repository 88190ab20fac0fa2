// Icon group 128 and its seven images, read back from the built resources.
#include "ResourceModule.h"

#include "res/resource.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

#pragma pack(push, 2)
struct GroupIconHeader {
    WORD reserved, type, count;
};
struct GroupIconEntry {
    BYTE width, height, colourCount, reserved;
    WORD planes, bitCount;
    DWORD bytesInResource;
    WORD id;
};
#pragma pack(pop)
static_assert(sizeof(GroupIconEntry) == 14);

struct Image {
    int size;
    int depth;
};
constexpr Image kImages[] = {{48, 8}, {32, 8}, {16, 8}, {256, 32}, {48, 32}, {32, 32}, {16, 32}};

std::vector<GroupIconEntry> GroupEntries() {
    const ResourceBytes group = FindResourceBytes(RT_GROUP_ICON, IDR_MAINFRAME, 0);
    if (!group || group.size < sizeof(GroupIconHeader)) return {};
    GroupIconHeader header;
    std::memcpy(&header, group.data, sizeof header);
    if (header.reserved != 0 || header.type != 1) return {};
    if (group.size != sizeof header + header.count * sizeof(GroupIconEntry)) return {};
    std::vector<GroupIconEntry> entries(header.count);
    std::memcpy(entries.data(), group.data + sizeof header, header.count * sizeof(GroupIconEntry));
    return entries;
}

DWORD RowBytes(int bitsPerRow) { return static_cast<DWORD>((bitsPerRow + 31) / 32 * 4); }

TEST(Icon, TheOnlyIconGroupIs128UnderTheNeutralLanguage) {
    EXPECT_EQ(NumbersOf(RT_GROUP_ICON), std::vector<WORD>{IDR_MAINFRAME});
    EXPECT_EQ(LanguagesOf(RT_GROUP_ICON, IDR_MAINFRAME), std::vector<WORD>{0});
}

TEST(Icon, GroupListsTheSevenImagesInOrder) {
    const auto entries = GroupEntries();
    ASSERT_EQ(entries.size(), 7u);
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE("image " + std::to_string(i + 1));
        const int dimension = kImages[i].size == 256 ? 0 : kImages[i].size;
        EXPECT_EQ(entries[i].width, dimension);
        EXPECT_EQ(entries[i].height, dimension);
        EXPECT_EQ(entries[i].bitCount, kImages[i].depth);
        EXPECT_EQ(entries[i].planes, 1);
        EXPECT_EQ(entries[i].colourCount, 0);  // 256 colours and more are written as 0
    }
}

TEST(Icon, EveryImageIsAnUncompressedBitmapOfItsSizeAndDepth) {
    const auto entries = GroupEntries();
    ASSERT_EQ(entries.size(), 7u);
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE("image " + std::to_string(i + 1));
        const int size = kImages[i].size;
        const int depth = kImages[i].depth;
        EXPECT_EQ(LanguagesOf(RT_ICON, entries[i].id), std::vector<WORD>{0});
        const ResourceBytes image = FindResourceBytes(RT_ICON, entries[i].id, 0);
        ASSERT_TRUE(image);
        EXPECT_EQ(image.size, entries[i].bytesInResource);
        ASSERT_GE(image.size, sizeof(BITMAPINFOHEADER));
        EXPECT_NE(std::memcmp(image.data, "\x89PNG", 4), 0) << "stored as PNG";
        BITMAPINFOHEADER header;
        std::memcpy(&header, image.data, sizeof header);
        EXPECT_EQ(header.biSize, sizeof header);
        EXPECT_EQ(header.biWidth, size);
        EXPECT_EQ(header.biHeight, 2 * size);  // colour bitmap and AND mask
        EXPECT_EQ(header.biPlanes, 1);
        EXPECT_EQ(header.biBitCount, depth);
        EXPECT_EQ(header.biCompression, static_cast<DWORD>(BI_RGB));
        const DWORD palette = depth == 8 ? 256 * 4 : 0;
        if (depth == 8) {
            EXPECT_TRUE(header.biClrUsed == 0 || header.biClrUsed == 256);
        }
        const DWORD expected = sizeof header + palette + RowBytes(size * depth) * size +
                               RowBytes(size) * size;
        EXPECT_EQ(image.size, expected);
    }
}

TEST(Icon, ThirtyTwoBitImagesCarryAlphaAndEveryImageHasATransparentCorner) {
    const auto entries = GroupEntries();
    ASSERT_EQ(entries.size(), 7u);
    for (size_t i = 0; i < entries.size(); ++i) {
        SCOPED_TRACE("image " + std::to_string(i + 1));
        const int size = kImages[i].size;
        const ResourceBytes image = FindResourceBytes(RT_ICON, entries[i].id, 0);
        ASSERT_TRUE(image);
        const DWORD colourStart = sizeof(BITMAPINFOHEADER) + (kImages[i].depth == 8 ? 1024 : 0);
        const DWORD maskStart = colourStart + RowBytes(size * kImages[i].depth) * size;
        ASSERT_LE(maskStart + RowBytes(size) * size, image.size);
        // The bottom-left pixel (first stored row) lies outside the round socket.
        EXPECT_TRUE(image.data[maskStart] & 0x80) << "corner not masked out";
        if (kImages[i].depth != 32) continue;
        int transparent = 0, opaque = 0, partial = 0;
        for (int p = 0; p < size * size; ++p) {
            const BYTE alpha = image.data[colourStart + 4 * p + 3];
            (alpha == 0 ? transparent : alpha == 255 ? opaque : partial)++;
        }
        EXPECT_GT(transparent, 0);
        EXPECT_GT(opaque, size * size / 2);
        EXPECT_GT(partial, 0) << "edges are not smoothed";
    }
}

TEST(Icon, ThePlatformMakesAnIconOfEveryImage) {
    const auto entries = GroupEntries();
    ASSERT_EQ(entries.size(), 7u);
    for (size_t i = 0; i < entries.size(); ++i) {
        const ResourceBytes image = FindResourceBytes(RT_ICON, entries[i].id, 0);
        ASSERT_TRUE(image);
        std::vector<BYTE> copy(image.data, image.data + image.size);
        const HICON icon = CreateIconFromResourceEx(copy.data(), image.size, TRUE, 0x00030000,
                                                    kImages[i].size, kImages[i].size, 0);
        EXPECT_NE(icon, nullptr) << "image " << i + 1;
        if (icon != nullptr) DestroyIcon(icon);
    }
    const HICON loaded = LoadIconW(ModuleUnderTest(), MAKEINTRESOURCEW(IDR_MAINFRAME));
    EXPECT_NE(loaded, nullptr);
}

}  // namespace
