#include "ui/DriverKey.h"
#include "support/DriverKeyFixture.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

class DriverKeyRead : public ::testing::Test {
protected:
    DriverKeyFixture key;

    // What ReadDriverKeyValue gives for name; "<missing>" when it reports the value missing.
    std::wstring Read(const wchar_t* name) {
        std::wstring text = L"<missing>";
        const bool found = ReadDriverKeyValue(name, text);
        EXPECT_EQ(found, text != L"<missing>");
        return text;
    }
};

TEST_F(DriverKeyRead, WithoutTheKeyEveryValueIsMissing) {
    EXPECT_EQ(Read(nullptr), L"<missing>");
    EXPECT_EQ(Read(L"version"), L"<missing>");
    EXPECT_EQ(Read(L"copyright"), L"<missing>");
}

TEST_F(DriverKeyRead, EachValueIsReadOrMissingOnItsOwn) {
    ASSERT_TRUE(key.CreateKey());
    EXPECT_EQ(Read(nullptr), L"<missing>");
    EXPECT_EQ(Read(L"version"), L"<missing>");
    EXPECT_EQ(Read(L"copyright"), L"<missing>");

    ASSERT_TRUE(key.SetText(nullptr, L"C:\\Drivers\\ORVEX"));
    EXPECT_EQ(Read(nullptr), L"C:\\Drivers\\ORVEX");
    EXPECT_EQ(Read(L"version"), L"<missing>");

    ASSERT_TRUE(key.SetText(L"version", L"Ver.1.0.4"));
    EXPECT_EQ(Read(L"version"), L"Ver.1.0.4");
    EXPECT_EQ(Read(L"copyright"), L"<missing>");

    ASSERT_TRUE(key.SetText(L"copyright", L"(C) someone"));
    EXPECT_EQ(Read(L"copyright"), L"(C) someone");
    EXPECT_EQ(Read(nullptr), L"C:\\Drivers\\ORVEX");
}

TEST_F(DriverKeyRead, A358ByteValueIsReadAndA360ByteOneIsMissing) {
    const std::wstring longest(178, L'v');  // 178 characters and the null: 358 bytes
    ASSERT_TRUE(key.SetText(L"version", longest));
    EXPECT_EQ(Read(L"version"), longest);

    ASSERT_TRUE(key.SetText(L"version", std::wstring(179, L'v')));  // 360 bytes
    EXPECT_EQ(Read(L"version"), L"<missing>");
    ASSERT_TRUE(key.SetText(L"version", std::wstring(400, L'v')));
    EXPECT_EQ(Read(L"version"), L"<missing>");
}

TEST_F(DriverKeyRead, EmptyTextIsPresentAndEmpty) {
    ASSERT_TRUE(key.SetText(L"copyright", L""));
    EXPECT_EQ(Read(L"copyright"), L"");
    ASSERT_TRUE(key.SetBytes(L"copyright", REG_SZ, L"", 0));  // not even the null
    EXPECT_EQ(Read(L"copyright"), L"");
}

TEST_F(DriverKeyRead, TextEndsAtItsFirstNullAndIsNotExpanded) {
    const wchar_t twoTexts[] = L"first\0second";
    ASSERT_TRUE(key.SetBytes(L"version", REG_MULTI_SZ, twoTexts, sizeof twoTexts));
    EXPECT_EQ(Read(L"version"), L"first");

    const std::wstring reference = L"%WINDIR%\\Readme";
    ASSERT_TRUE(key.SetBytes(nullptr, REG_EXPAND_SZ, reference.c_str(),
                             static_cast<DWORD>((reference.size() + 1) * sizeof(wchar_t))));
    EXPECT_EQ(Read(nullptr), reference);
}

TEST_F(DriverKeyRead, TextWithoutItsNullKeepsEveryWholeCharacterWithinTheBuffer) {
    const std::wstring ten(10, L'x');
    ASSERT_TRUE(key.SetBytes(L"version", REG_SZ, ten.data(), 20));
    EXPECT_EQ(Read(L"version"), ten);

    // 179 characters without a null fill the buffer but its last character.
    const std::wstring full(179, L'y');
    ASSERT_TRUE(key.SetBytes(L"version", REG_SZ, full.data(), 358));
    EXPECT_EQ(Read(L"version"), full);
}

TEST_F(DriverKeyRead, ValuesOfOtherTypesAreTakenAsText) {
    const DWORD number = 0x00420041;  // "AB" in UTF-16 little-endian
    ASSERT_TRUE(key.SetBytes(L"version", REG_DWORD, &number, sizeof number));
    EXPECT_EQ(Read(L"version"), L"AB");

    // An odd byte count: the last, half character is dropped.
    const unsigned char three[] = {'a', 0, 'b'};
    ASSERT_TRUE(key.SetBytes(L"version", REG_BINARY, three, sizeof three));
    EXPECT_EQ(Read(L"version"), L"a");

    // 359 bytes of no null at all: 179 whole characters, and the text still ends in the buffer.
    const std::vector<unsigned char> odd(359, 0x41);
    ASSERT_TRUE(key.SetBytes(L"copyright", REG_BINARY, odd.data(), 359));
    EXPECT_EQ(Read(L"copyright"), std::wstring(179, static_cast<wchar_t>(0x4141)));

    const std::vector<unsigned char> tooLong(360, 0x41);
    ASSERT_TRUE(key.SetBytes(L"copyright", REG_BINARY, tooLong.data(), 360));
    EXPECT_EQ(Read(L"copyright"), L"<missing>");
}

}  // namespace
