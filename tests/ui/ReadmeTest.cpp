#include "support/DriverKeyFixture.h"
#include "ui/Readme.h"

#include <gtest/gtest.h>

namespace {

// The tests run with the English tables (LC_ALL=C.UTF-8 in ctest).
constexpr wchar_t kReadmeName[] = L"Readme\\Readme_EN.htm";

class ReadmePath : public ::testing::Test {
protected:
    DriverKeyFixture key;
    TemporaryFolder folder;
};

TEST_F(ReadmePath, AnExistingFileIsAvailable) {
    ASSERT_TRUE(key.SetText(nullptr, folder.Path()));
    ASSERT_TRUE(folder.CreateFileAt(kReadmeName));
    const std::wstring path = GetReadmePath();
    EXPECT_EQ(path, folder.Path() + L"\\" + kReadmeName);
    EXPECT_TRUE(IsExistingFile(path));
    EXPECT_TRUE(IsReadmeAvailable());
}

TEST_F(ReadmePath, AFolderNamedLikeTheFileIsNotAvailable) {
    ASSERT_TRUE(key.SetText(nullptr, folder.Path()));
    ASSERT_TRUE(folder.CreateFolderAt(kReadmeName));
    EXPECT_FALSE(IsExistingFile(GetReadmePath()));
    EXPECT_FALSE(IsReadmeAvailable());
}

TEST_F(ReadmePath, AMissingFileIsNotAvailable) {
    ASSERT_TRUE(key.SetText(nullptr, folder.Path()));
    ASSERT_TRUE(folder.CreateFolderAt(L"Readme"));
    EXPECT_EQ(GetReadmePath(), folder.Path() + L"\\" + kReadmeName);
    EXPECT_FALSE(IsReadmeAvailable());
}

TEST_F(ReadmePath, AFolderEndingInABackslashIsJoinedAsItIs) {
    ASSERT_TRUE(key.SetText(nullptr, folder.Path() + L"\\"));
    ASSERT_TRUE(folder.CreateFileAt(kReadmeName));
    EXPECT_EQ(GetReadmePath(), folder.Path() + L"\\\\" + kReadmeName);
    // The platform reads the doubled backslash as one.
    EXPECT_TRUE(IsReadmeAvailable());
}

TEST_F(ReadmePath, ARelativeFolderGivesARelativePath) {
    ASSERT_TRUE(key.SetText(nullptr, L"Drivers"));
    EXPECT_EQ(GetReadmePath(), std::wstring(L"Drivers\\") + kReadmeName);
}

TEST_F(ReadmePath, WithoutAFolderThePathIsEmpty) {
    EXPECT_EQ(GetReadmePath(), L"");  // no key
    EXPECT_FALSE(IsReadmeAvailable());

    ASSERT_TRUE(key.SetText(L"version", L"1.0"));  // key without a default value
    EXPECT_EQ(GetReadmePath(), L"");

    ASSERT_TRUE(key.SetText(nullptr, L""));
    EXPECT_EQ(GetReadmePath(), L"");
    EXPECT_FALSE(IsReadmeAvailable());
}

TEST(ExistingFile, NeedsAnEntryThatIsNotADirectory) {
    TemporaryFolder folder;
    ASSERT_TRUE(folder.CreateFileAt(L"file.htm"));
    EXPECT_TRUE(IsExistingFile(folder.Path() + L"\\file.htm"));
    EXPECT_FALSE(IsExistingFile(folder.Path()));
    EXPECT_FALSE(IsExistingFile(folder.Path() + L"\\other.htm"));
    EXPECT_FALSE(IsExistingFile(L""));
}

}  // namespace
