// The stack protector's guard in the running program: set at random for every process, never
// left at the value it has in the file, and different from start to start. The guard is found
// through that value: the one place in the file's writable data that holds it.

#include "e2e/ProgramFixture.h"
#include "entry/StackGuard.h"
#include "framework/UniqueHandle.h"

#include <psapi.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <vector>

namespace {

std::vector<char> ReadWholeFile(const std::wstring& path) {
    std::ifstream file(std::filesystem::path(path), std::ios::binary);
    return std::vector<char>(std::istreambuf_iterator<char>(file), {});
}

template <typename T>
bool ReadAt(const std::vector<char>& bytes, std::size_t offset, T& value) {
    if (offset > bytes.size() || bytes.size() - offset < sizeof value) return false;
    std::memcpy(&value, bytes.data() + offset, sizeof value);
    return true;
}

// The addresses, relative to the image, of every aligned copy of the static guard in the
// sections of initialised writable data.
std::vector<DWORD> StaticGuardAddresses(const std::vector<char>& image) {
    std::vector<DWORD> found;
    IMAGE_DOS_HEADER dos;
    IMAGE_FILE_HEADER header;
    if (!ReadAt(image, 0, dos) || !ReadAt(image, dos.e_lfanew + sizeof(DWORD), header))
        return found;
    const std::size_t table = dos.e_lfanew + sizeof(DWORD) + sizeof header +
                              header.SizeOfOptionalHeader;
    for (WORD i = 0; i < header.NumberOfSections; ++i) {
        IMAGE_SECTION_HEADER section;
        if (!ReadAt(image, table + i * sizeof section, section)) break;
        const DWORD wanted = IMAGE_SCN_MEM_WRITE | IMAGE_SCN_CNT_INITIALIZED_DATA;
        if ((section.Characteristics & wanted) != wanted) continue;
        for (DWORD at = 0; at + sizeof(std::uint64_t) <= section.SizeOfRawData; at += 8) {
            std::uint64_t value = 0;
            if (ReadAt(image, section.PointerToRawData + at, value) && value == kStaticStackGuard)
                found.push_back(section.VirtualAddress + at);
        }
    }
    return found;
}

class StackGuard : public ProgramTest {
protected:
    // The guard of the running program, read at the given address of its image.
    bool ReadGuard(const ProgramRun& run, DWORD address, std::uint64_t& guard) {
        UniqueHandle process(
            OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, run.Id()));
        HMODULE image = nullptr;  // the program's own module comes first
        DWORD needed = 0;
        if (!process || !K32EnumProcessModules(process.Get(), &image, sizeof image, &needed))
            return false;
        SIZE_T read = 0;
        return ReadProcessMemory(process.Get(), reinterpret_cast<const char*>(image) + address,
                                 &guard, sizeof guard, &read) &&
               read == sizeof guard;
    }

    // The guards of `runs` runs of the program, each read once its settings dialog shows.
    std::vector<std::uint64_t> GuardsOfRuns(int runs) {
        std::vector<std::uint64_t> guards;
        const std::vector<DWORD> addresses =
            StaticGuardAddresses(ReadWholeFile(ProgramRun::ProgramPath()));
        EXPECT_EQ(addresses.size(), 1u) << "the static guard should be in the file's data once";
        if (addresses.size() != 1) return guards;
        Plug(1, Record(0x2C, 1), {0});
        for (int i = 0; i < runs; ++i) {
            ProgramRun run;
            if (!run.Start()) {
                ADD_FAILURE() << run.StartFailure();
                break;
            }
            const HWND dialog = ExpectScreen(run, ProgramScreen::Settings);
            if (!dialog) break;
            std::uint64_t guard = 0;
            EXPECT_TRUE(ReadGuard(run, addresses[0], guard));
            guards.push_back(guard);
            ClickButton(dialog, IDCANCEL);
            ExpectEndsQuietly(run);
        }
        return guards;
    }
};

TEST_F(StackGuard, EveryRunOfTheProgramHasItsOwnRandomGuard) {
    const std::vector<std::uint64_t> guards = GuardsOfRuns(2);
    ASSERT_EQ(guards.size(), 2u);
    EXPECT_NE(guards[0], kStaticStackGuard);
    EXPECT_NE(guards[1], kStaticStackGuard);
    EXPECT_NE(guards[0], 0u);
    EXPECT_NE(guards[0], guards[1]);
}

TEST_F(StackGuard, TwentyStartsGiveTwentyDifferentGuards) {
    const std::vector<std::uint64_t> guards = GuardsOfRuns(20);
    ASSERT_EQ(guards.size(), 20u);
    EXPECT_EQ(std::set<std::uint64_t>(guards.begin(), guards.end()).size(), 20u);
    EXPECT_EQ(std::count(guards.begin(), guards.end(), kStaticStackGuard), 0);
    EXPECT_EQ(std::count(guards.begin(), guards.end(), 0u), 0);
}

}  // namespace
