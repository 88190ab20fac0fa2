// Placeholder replacement: every occurrence present before the call is replaced once.
#include "res/Texts.h"

#include <gtest/gtest.h>

#include <string>

using namespace std::string_literals;

namespace {

TEST(ReplaceAll, ATextWithoutThePlaceholderComesBackUnchanged) {
    std::wstring text = L"Driver Settings __MODEL_ __model__";
    EXPECT_EQ(ReplaceAll(text, kModelPlaceholder, kModelName), 0);
    EXPECT_EQ(text, L"Driver Settings __MODEL_ __model__");
    std::wstring empty;
    EXPECT_EQ(ReplaceAll(empty, kModelPlaceholder, kModelName), 0);
    EXPECT_EQ(empty, L"");
}

TEST(ReplaceAll, OneOccurrence) {
    std::wstring text = L"__MODEL__ Driver Settings";
    EXPECT_EQ(ReplaceAll(text, kModelPlaceholder, kModelName), 1);
    EXPECT_EQ(text, L"ORVEX Driver Settings");
}

TEST(ReplaceAll, TwoOccurrencesAndAdjacentOnes) {
    std::wstring text = L"Pilote __MODEL__ et __MODEL__.";
    EXPECT_EQ(ReplaceAll(text, kModelPlaceholder, kModelName), 2);
    EXPECT_EQ(text, L"Pilote ORVEX et ORVEX.");
    std::wstring adjacent = L"__MODEL____MODEL____MODEL__";
    EXPECT_EQ(ReplaceAll(adjacent, kModelPlaceholder, L"ab"), 3);
    EXPECT_EQ(adjacent, L"ababab");
    std::wstring whole = L"__VERSION__";
    EXPECT_EQ(ReplaceAll(whole, kVersionPlaceholder, L"Ver.1.0.4"), 1);
    EXPECT_EQ(whole, L"Ver.1.0.4");
}

TEST(ReplaceAll, OccurrencesNeverOverlap) {
    std::wstring text = L"aaaaa";
    EXPECT_EQ(ReplaceAll(text, L"aa", L"X"), 2);
    EXPECT_EQ(text, L"XXa");
}

TEST(ReplaceAll, AReplacementHoldingThePlaceholderIsNotExpandedAgain) {
    std::wstring text = L"a__MODEL__b__MODEL__";
    EXPECT_EQ(ReplaceAll(text, kModelPlaceholder, L"<__MODEL__>"), 2);
    EXPECT_EQ(text, L"a<__MODEL__>b<__MODEL__>");
    // Replacement that completes a placeholder with the text that follows it.
    std::wstring joined = L"__MODEL__MODEL__";
    EXPECT_EQ(ReplaceAll(joined, kModelPlaceholder, L"__"), 1);
    EXPECT_EQ(joined, L"__MODEL__");
}

TEST(ReplaceAll, TheVersionTextIsNotSearchedForTheModel) {
    std::wstring line = L"__MODEL__ Driver __VERSION__";
    EXPECT_EQ(ReplaceAll(line, kModelPlaceholder, kModelName), 1);
    EXPECT_EQ(ReplaceAll(line, kVersionPlaceholder, L"Ver.__MODEL__"), 1);
    EXPECT_EQ(line, L"ORVEX Driver Ver.__MODEL__");
}

TEST(ReplaceAll, AnEmptyOrMissingPlaceholderReplacesNothing) {
    std::wstring text = L"__MODEL__";
    EXPECT_EQ(ReplaceAll(text, L"", kModelName), 0);
    EXPECT_EQ(ReplaceAll(text, nullptr, kModelName), 0);
    EXPECT_EQ(text, L"__MODEL__");
}

TEST(ReplaceAll, AnEmptyOrMissingReplacementRemovesTheOccurrences) {
    std::wstring text = L"__MODEL__ Driver __MODEL__";
    EXPECT_EQ(ReplaceAll(text, kModelPlaceholder, L""), 2);
    EXPECT_EQ(text, L" Driver ");
    std::wstring line = L"__MODEL__ Driver __VERSION__";
    EXPECT_EQ(ReplaceAll(line, kVersionPlaceholder, nullptr), 1);
    EXPECT_EQ(line, L"__MODEL__ Driver ");
}

TEST(ReplaceAll, EveryRunSeparatedByANulIsSearched) {
    std::wstring text = L"x__MODEL__\0__MODEL__y\0\0z__MODEL__"s;
    EXPECT_EQ(ReplaceAll(text, kModelPlaceholder, kModelName), 3);
    EXPECT_EQ(text, L"xORVEX\0ORVEXy\0\0zORVEX"s);
    std::wstring shrinking = L"__MODEL__\0__MODEL__"s;
    EXPECT_EQ(ReplaceAll(shrinking, kModelPlaceholder, L"-"), 2);
    EXPECT_EQ(shrinking, L"-\0-"s);
}

TEST(ReplaceAll, ShorteningLeavesNoStaleTail) {
    // Text left behind the shrinking text must not be found again.
    std::wstring text = L"__MODEL__ab__MODEL__";
    EXPECT_EQ(ReplaceAll(text, kModelPlaceholder, L""), 2);
    EXPECT_EQ(text, L"ab");
    EXPECT_EQ(text.size(), 2u);
}

}  // namespace
