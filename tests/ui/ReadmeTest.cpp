#include "support/DriverKeyFixture.h"
#include "support/HtmHandler.h"
#include "support/UiAutomation.h"
#include "ui/Readme.h"

#include <gtest/gtest.h>

#include <objbase.h>

#include <thread>

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

// A click on the README button, made on a thread of its own so that each case starts from a
// thread without COM, the way the program's one thread does.
class ReadmeClick : public ReadmePath {
protected:
    void SetUp() override {
        ASSERT_TRUE(key.SetText(nullptr, folder.Path()));
        ASSERT_TRUE(folder.CreateFileAt(kReadmeName));
        ASSERT_TRUE(handler.Ready());
        ASSERT_TRUE(SetEnvironmentVariableW(L"QS_OPEN_RECORD", record.c_str()));
    }
    void TearDown() override { SetEnvironmentVariableW(L"QS_OPEN_RECORD", nullptr); }

    // The apartment the clicking thread is in after the click; `before` runs first on it.
    APTTYPE ClickOnAThread(HRESULT (*before)() = nullptr) {
        APTTYPE apartment = APTTYPE_CURRENT;
        std::thread([&] {
            if (before) before();
            OnShowReadme();
            // Through GetProcAddress: the click is what loads ole32, this test imports none.
            using GetApartmentType = HRESULT(WINAPI*)(APTTYPE*, APTTYPEQUALIFIER*);
            const HMODULE ole32 = GetModuleHandleW(L"ole32.dll");
            const auto get = reinterpret_cast<GetApartmentType>(reinterpret_cast<void (*)()>(
                ole32 ? GetProcAddress(ole32, "CoGetApartmentType") : nullptr));
            APTTYPEQUALIFIER qualifier;
            if (get && FAILED(get(&apartment, &qualifier))) apartment = APTTYPE_CURRENT;
        }).join();
        return apartment;
    }

    void ExpectTheDocumentOpened() {
        const std::wstring opened = WaitForWideFile(record, 20000);
        EXPECT_NE(opened.find(folder.Path() + L"\\" + kReadmeName), std::wstring::npos)
            << std::string(opened.begin(), opened.end());
    }

    const std::wstring record = folder.Path() + L"\\opened.txt";
    HtmHandler handler{ThisProgramFolder() + L"\\quillset_open_recorder.exe"};
};

TEST_F(ReadmeClick, OpensTheDocumentWithCOMInASingleThreadedApartment) {
    // The first single-threaded apartment of a process is its main one.
    const APTTYPE apartment = ClickOnAThread();
    EXPECT_TRUE(apartment == APTTYPE_STA || apartment == APTTYPE_MAINSTA) << apartment;
    ExpectTheDocumentOpened();
    // ole32 came from the system folder.
    wchar_t path[MAX_PATH];
    wchar_t system[MAX_PATH];
    const DWORD length = GetModuleFileNameW(GetModuleHandleW(L"ole32.dll"), path, MAX_PATH);
    const UINT systemLength = GetSystemDirectoryW(system, MAX_PATH);
    ASSERT_TRUE(length > 0 && length < MAX_PATH && systemLength > 0 && systemLength < MAX_PATH);
    EXPECT_EQ(CompareStringOrdinal(path, static_cast<int>(systemLength), system,
                                   static_cast<int>(systemLength), TRUE),
              CSTR_EQUAL);
}

TEST_F(ReadmeClick, OnAThreadAlreadyInTheMultithreadedApartmentTheDocumentStillOpens) {
    const auto enterMultithreaded = []() -> HRESULT {
        using CoInitializeExFunction = HRESULT(WINAPI*)(LPVOID, DWORD);
        const auto init = reinterpret_cast<CoInitializeExFunction>(reinterpret_cast<void (*)()>(
            GetProcAddress(LoadLibraryW(L"ole32.dll"), "CoInitializeEx")));
        return init ? init(nullptr, COINIT_MULTITHREADED) : E_FAIL;
    };
    EXPECT_EQ(ClickOnAThread(enterMultithreaded), APTTYPE_MTA);
    ExpectTheDocumentOpened();
}

}  // namespace
