// The version block, read back from the built resources and walked node by node.
#include "ResourceModule.h"

#include "res/Maker.h"

#include <gtest/gtest.h>

#include <cstring>
#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace {

// One node of a version block: length, value length, type, key, then value and children, each
// starting on a 32-bit boundary.
struct Node {
    std::wstring key;
    WORD type = 0;
    const BYTE* value = nullptr;
    WORD valueLength = 0;  // in bytes for binary values, in characters for text values
    std::vector<Node> children;
};

size_t Align(size_t offset) { return (offset + 3) & ~size_t{3}; }

std::optional<Node> ReadNode(const BYTE* base, size_t offset, size_t end) {
    if (offset + 6 > end) return std::nullopt;
    WORD length, valueLength, type;
    std::memcpy(&length, base + offset, 2);
    std::memcpy(&valueLength, base + offset + 2, 2);
    std::memcpy(&type, base + offset + 4, 2);
    const size_t nodeEnd = offset + length;
    if (length < 6 || nodeEnd > end) return std::nullopt;
    Node node;
    node.type = type;
    node.valueLength = valueLength;
    size_t at = offset + 6;
    for (;;) {
        if (at + 2 > nodeEnd) return std::nullopt;
        wchar_t c;
        std::memcpy(&c, base + at, 2);
        at += 2;
        if (c == 0) break;
        node.key += c;
    }
    at = Align(at);
    const size_t valueBytes = type == 1 ? valueLength * 2u : valueLength;
    if (valueBytes > 0) {
        if (at + valueBytes > nodeEnd) return std::nullopt;
        node.value = base + at;
        at = Align(at + valueBytes);
    }
    while (at < nodeEnd) {
        auto child = ReadNode(base, at, nodeEnd);
        if (!child) return std::nullopt;
        WORD childLength;
        std::memcpy(&childLength, base + at, 2);
        node.children.push_back(std::move(*child));
        at = Align(at + childLength);
    }
    return node;
}

std::optional<Node> VersionBlock() {
    const ResourceBytes bytes = FindResourceBytes(RT_VERSION, 1, 0);
    if (!bytes) return std::nullopt;
    return ReadNode(bytes.data, 0, bytes.size);
}

std::wstring TextValue(const Node& node) {
    if (node.value == nullptr || node.type != 1) return L"<not text>";
    std::wstring text(node.valueLength, L'\0');
    std::memcpy(text.data(), node.value, node.valueLength * 2u);
    while (!text.empty() && text.back() == L'\0') text.pop_back();
    return text;
}

TEST(VersionBlock, IsResourceOneUnderTheNeutralLanguageOnly) {
    EXPECT_EQ(NumbersOf(RT_VERSION), std::vector<WORD>{1});
    EXPECT_EQ(LanguagesOf(RT_VERSION, 1), std::vector<WORD>{0});
}

TEST(VersionBlock, FixedPart) {
    const auto root = VersionBlock();
    ASSERT_TRUE(root);
    EXPECT_EQ(root->key, L"VS_VERSION_INFO");
    ASSERT_EQ(root->valueLength, sizeof(VS_FIXEDFILEINFO));
    VS_FIXEDFILEINFO fixed;
    std::memcpy(&fixed, root->value, sizeof fixed);
    EXPECT_EQ(fixed.dwSignature, 0xFEEF04BDu);
    EXPECT_EQ(fixed.dwStrucVersion, 0x00010000u);
    EXPECT_EQ(fixed.dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwFileVersionLS, 0x00040000u);
    EXPECT_EQ(fixed.dwProductVersionMS, 0x00010000u);
    EXPECT_EQ(fixed.dwProductVersionLS, 0x00040000u);
    EXPECT_EQ(fixed.dwFileFlagsMask, 0x3Fu);
    EXPECT_EQ(fixed.dwFileFlags, 0u);
    EXPECT_EQ(fixed.dwFileOS, 0x00040004u);
    EXPECT_EQ(fixed.dwFileType, 1u);
    EXPECT_EQ(fixed.dwFileSubtype, 0u);
    EXPECT_EQ(fixed.dwFileDateMS, 0u);
    EXPECT_EQ(fixed.dwFileDateLS, 0u);
}

TEST(VersionBlock, OneStringTableWithTheValuesInOrder) {
    const auto root = VersionBlock();
    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 2u);
    const Node& fileInfo = root->children[0];
    EXPECT_EQ(fileInfo.key, L"StringFileInfo");
    ASSERT_EQ(fileInfo.children.size(), 1u);
    const Node& table = fileInfo.children[0];
    EXPECT_EQ(table.key, L"000004b0");

    const std::vector<std::pair<std::wstring, std::wstring>> expected = {
        {L"Comments", L" "},
        {L"CompanyName", QS_WIDEN(QS_COMPANY_NAME)},
        {L"FileDescription", QS_WIDEN(QS_MAKER_NAME) L" USB Driver Settings"},
        {L"FileVersion", L"1,0,4,0"},
        {L"InternalName", L" "},
        {L"LegalCopyright", QS_WIDEN(QS_COPYRIGHT_NOTICE)},
        {L"LegalTrademarks", L" "},
        {L"OriginalFilename", L"KZDS0410.EXE"},
        {L"PrivateBuild", L" "},
        {L"ProductName", QS_WIDEN(QS_MAKER_NAME) L" USB Driver"},
        {L"ProductVersion", L"1,0,4,0"},
        {L"SpecialBuild", L" "},
    };
    std::vector<std::pair<std::wstring, std::wstring>> actual;
    for (const Node& value : table.children) actual.emplace_back(value.key, TextValue(value));
    EXPECT_EQ(actual, expected);
    EXPECT_NE(std::wstring(QS_WIDEN(QS_COPYRIGHT_NOTICE)).back(), L'.');
}

TEST(VersionBlock, TranslationIsTheNeutralLanguageInUtf16) {
    const auto root = VersionBlock();
    ASSERT_TRUE(root);
    ASSERT_EQ(root->children.size(), 2u);
    const Node& varInfo = root->children[1];
    EXPECT_EQ(varInfo.key, L"VarFileInfo");
    ASSERT_EQ(varInfo.children.size(), 1u);
    const Node& translation = varInfo.children[0];
    EXPECT_EQ(translation.key, L"Translation");
    ASSERT_EQ(translation.valueLength, 4);
    WORD pair[2];
    std::memcpy(pair, translation.value, 4);
    EXPECT_EQ(pair[0], 0x0000);
    EXPECT_EQ(pair[1], 0x04B0);
}

}  // namespace
