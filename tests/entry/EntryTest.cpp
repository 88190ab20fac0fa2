// The entry's own steps (Quillset/entry): the library search it restricts first, and the
// processor randomness its stack guard starts from. A test program of its own, since the
// restriction holds for the rest of the process.
#include "entry/LibrarySearch.h"
#include "entry/ProcessorRandom.h"
#include "framework/UniqueHandle.h"
#include "support/DriverKeyFixture.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

namespace {

// What the restriction asked of a kernel32 that the test makes up.
struct Kernel32Calls {
    bool hasSetDefault = true;
    BOOL setDefaultAnswer = TRUE;
    int setDefaultCalls = 0;
    DWORD setDefaultFlags = 0;
    int setDirectoryCalls = 0;
    const wchar_t* directory = nullptr;
} calls;

BOOL WINAPI FakeSetDefaultDllDirectories(DWORD flags) {
    ++calls.setDefaultCalls;
    calls.setDefaultFlags = flags;
    return calls.setDefaultAnswer;
}

BOOL WINAPI FakeSetDllDirectoryW(LPCWSTR directory) {
    ++calls.setDirectoryCalls;
    calls.directory = directory;
    return TRUE;
}

template <typename Function>
FARPROC AsFound(Function function) {
    return reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function));
}

FARPROC FakeLookup(const char* name) {
    if (std::strcmp(name, "SetDefaultDllDirectories") == 0)
        return calls.hasSetDefault ? AsFound(&FakeSetDefaultDllDirectories) : nullptr;
    if (std::strcmp(name, "SetDllDirectoryW") == 0) return AsFound(&FakeSetDllDirectoryW);
    return nullptr;
}

class LibrarySearch : public ::testing::Test {
protected:
    void SetUp() override { calls = {}; }
};

TEST_F(LibrarySearch, WhereWindowsHasItTheSearchIsTheSystemFolderAlone) {
    EXPECT_TRUE(RestrictLibrarySearch(FakeLookup));
    EXPECT_EQ(calls.setDefaultCalls, 1);
    EXPECT_EQ(calls.setDefaultFlags, static_cast<DWORD>(LOAD_LIBRARY_SEARCH_SYSTEM32));
    EXPECT_EQ(calls.setDirectoryCalls, 0);
}

TEST_F(LibrarySearch, WithoutItOrRefusedTheCurrentFolderIsDropped) {
    calls.hasSetDefault = false;  // Windows 7 without KB2533623
    EXPECT_FALSE(RestrictLibrarySearch(FakeLookup));
    EXPECT_EQ(calls.setDefaultCalls, 0);
    ASSERT_EQ(calls.setDirectoryCalls, 1);
    // The empty text, not null: null would put the current folder back.
    ASSERT_NE(calls.directory, nullptr);
    EXPECT_STREQ(calls.directory, L"");

    calls = {};
    calls.setDefaultAnswer = FALSE;
    EXPECT_FALSE(RestrictLibrarySearch(FakeLookup));
    EXPECT_EQ(calls.setDefaultCalls, 1);
    ASSERT_EQ(calls.setDirectoryCalls, 1);
    EXPECT_STREQ(calls.directory, L"");
}

// The real thing: a library planted in the current folder loads before the restriction and a
// second one no longer after it.
TEST_F(LibrarySearch, AfterTheRealRestrictionAPlantedLibraryIsNotLoaded) {
    ASSERT_NE(FindInKernel32("SetDefaultDllDirectories"), nullptr);
    EXPECT_EQ(FindInKernel32("NoSuchFunctionInKernel32"), nullptr);

    TemporaryFolder folder;
    wchar_t self[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, self, MAX_PATH);
    ASSERT_TRUE(length > 0 && length < MAX_PATH);
    std::wstring planted(self, length);
    planted = planted.substr(0, planted.rfind(L'\\') + 1) + L"quillset_planted.dll";
    for (const wchar_t* name : {L"\\before.dll", L"\\after.dll"})
        ASSERT_TRUE(CopyFileW(planted.c_str(), (folder.Path() + name).c_str(), FALSE));
    wchar_t previous[MAX_PATH];
    const DWORD previousLength = GetCurrentDirectoryW(MAX_PATH, previous);
    ASSERT_TRUE(previousLength > 0 && previousLength < MAX_PATH);
    ASSERT_TRUE(SetCurrentDirectoryW(folder.Path().c_str()));

    UniqueModule before(LoadLibraryW(L"before.dll"));
    EXPECT_NE(before.Get(), nullptr) << "the control: the current folder is searched at first";
    before.Reset();
    EXPECT_TRUE(RestrictLibrarySearch(FindInKernel32));
    const UniqueModule after(LoadLibraryW(L"after.dll"));
    EXPECT_EQ(after.Get(), nullptr);
    EXPECT_TRUE(SetCurrentDirectoryW(previous));
}

// Whether the host's processor has RDRAND, in its own words: Wine shows the host's /proc on
// drive Z:, and its IsProcessorFeaturePresent does not report the instruction.
bool HostHasRdrand(bool& known) {
    std::ifstream cpuinfo("Z:\\proc\\cpuinfo");
    known = cpuinfo.is_open();
    const std::string text((std::istreambuf_iterator<char>(cpuinfo)), {});
    return text.find(" rdrand") != std::string::npos;
}

TEST(ProcessorRandom, GivesBitsWhereTheProcessorHasAGenerator) {
    bool known = false;
    const bool has = HostHasRdrand(known);
    std::uint64_t first = 0;
    std::uint64_t second = 0;
    const bool gave = ProcessorRandom64(first);
    if (known) {
        EXPECT_EQ(gave, has);
    }
    if (!gave) return;
    ASSERT_TRUE(ProcessorRandom64(second));
    EXPECT_NE(first, second);
    EXPECT_NE(first, 0u);
    EXPECT_NE(first, ~0ULL);
}

TEST(ProcessorRandom, AnAnswerWithEveryBitClearOrSetIsDrawnAgain) {
    const unsigned long long answers[] = {0, ~0ULL, 0x5EED, 0};
    int calls = 0;
    const auto step = [&](unsigned long long* drawn) {
        *drawn = answers[calls++ % 4];
        return 1;
    };
    std::uint64_t value = 0;
    EXPECT_TRUE(DrawPlausibleRandom(step, 10, value));
    EXPECT_EQ(value, 0x5EEDu);
    EXPECT_EQ(calls, 3);
    // Within two tries the generator gives nothing plausible: no value at all.
    calls = 0;
    value = 7;
    EXPECT_FALSE(DrawPlausibleRandom(step, 2, value));
    EXPECT_EQ(value, 7u);
}

}  // namespace
