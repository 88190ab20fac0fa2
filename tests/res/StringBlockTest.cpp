// The walk through one string block, on blocks built here byte by byte.
#include "res/StringBlock.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A block made of the given entries, an empty text standing for an absent entry.
std::vector<WORD> Block(std::initializer_list<std::wstring> texts) {
    std::vector<WORD> units;
    for (const auto& text : texts) {
        units.push_back(static_cast<WORD>(text.size()));
        units.insert(units.end(), text.begin(), text.end());
    }
    return units;
}

DWORD Bytes(const std::vector<WORD>& units) { return static_cast<DWORD>(units.size() * 2); }

std::wstring TextOf(const StringBlockEntry& entry) { return {entry.units, entry.count}; }

TEST(StringBlock, FindsTheEntryByWalkingAcrossEarlierEntries) {
    const auto block = Block({L"first", L"", L"third", L"", L"", L"sixth"});
    StringBlockEntry entry;
    ASSERT_TRUE(FindStringInBlock(block.data(), Bytes(block), 0, entry));
    EXPECT_EQ(TextOf(entry), L"first");
    ASSERT_TRUE(FindStringInBlock(block.data(), Bytes(block), 2, entry));
    EXPECT_EQ(TextOf(entry), L"third");
    ASSERT_TRUE(FindStringInBlock(block.data(), Bytes(block), 5, entry));
    EXPECT_EQ(TextOf(entry), L"sixth");
    EXPECT_EQ(entry.units, reinterpret_cast<const wchar_t*>(block.data() + block.size() - 5));
}

TEST(StringBlock, FindsTheLastOfSixteenEntries) {
    std::vector<WORD> block;
    for (int i = 0; i < 15; ++i) block.push_back(0);
    block.push_back(2);
    block.push_back(L'o');
    block.push_back(L'k');
    StringBlockEntry entry;
    ASSERT_TRUE(FindStringInBlock(block.data(), Bytes(block), 15, entry));
    EXPECT_EQ(TextOf(entry), L"ok");
}

TEST(StringBlock, AnEntryWithCountZeroIsAbsent) {
    const auto block = Block({L"a", L"", L"c"});
    StringBlockEntry entry;
    EXPECT_FALSE(FindStringInBlock(block.data(), Bytes(block), 1, entry));
}

TEST(StringBlock, FailureLeavesTheEntryAlone) {
    const auto block = Block({L"a", L""});
    StringBlockEntry entry;
    entry.count = 7;
    EXPECT_FALSE(FindStringInBlock(block.data(), Bytes(block), 1, entry));
    EXPECT_EQ(entry.count, 7);
    EXPECT_EQ(entry.units, nullptr);
}

TEST(StringBlock, AnEntryPastTheBlocksEndFails) {
    // Three entries only: the fourth would begin exactly at the end.
    const auto block = Block({L"a", L"bb", L"ccc"});
    StringBlockEntry entry;
    EXPECT_FALSE(FindStringInBlock(block.data(), Bytes(block), 3, entry));
    EXPECT_FALSE(FindStringInBlock(block.data(), Bytes(block), 9, entry));
    EXPECT_FALSE(FindStringInBlock(block.data(), 0, 0, entry));
    EXPECT_FALSE(FindStringInBlock(nullptr, 64, 0, entry));
}

TEST(StringBlock, ATextRunningPastTheEndFailsAndOneEndingThereIsFound) {
    std::vector<WORD> block = {1, L'a', 4, L'w', L'x', L'y', L'z'};
    StringBlockEntry entry;
    ASSERT_TRUE(FindStringInBlock(block.data(), Bytes(block), 1, entry));
    EXPECT_EQ(TextOf(entry), L"wxyz");
    block[2] = 5;  // one unit more than the block holds
    EXPECT_FALSE(FindStringInBlock(block.data(), Bytes(block), 1, entry));
    block[2] = 0xFFFF;
    EXPECT_FALSE(FindStringInBlock(block.data(), Bytes(block), 1, entry));
}

TEST(StringBlock, AWalkThatWouldPassTheEndFailsEvenForALaterEntry) {
    // The second entry claims more units than remain; stepping over it must not wrap around.
    const std::vector<WORD> block = {1, L'a', 0xFFFF, L'b', 1, L'c'};
    StringBlockEntry entry;
    EXPECT_FALSE(FindStringInBlock(block.data(), Bytes(block), 2, entry));
    EXPECT_FALSE(FindStringInBlock(block.data(), Bytes(block), 15, entry));
    const std::vector<WORD> overshoot = {1, L'a', 3, L'b', 1, L'c'};  // ends one unit too far
    EXPECT_FALSE(FindStringInBlock(overshoot.data(), Bytes(overshoot), 2, entry));
}

TEST(StringBlock, AnOddTrailingByteIsNotPartOfAnyEntry) {
    const std::vector<WORD> block = {2, L'a', L'b'};
    StringBlockEntry entry;
    EXPECT_FALSE(FindStringInBlock(block.data(), Bytes(block) - 1, 0, entry));
    EXPECT_TRUE(FindStringInBlock(block.data(), Bytes(block) + 0, 0, entry));
}

}  // namespace
