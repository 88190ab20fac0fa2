// The device traffic the program must make, and nothing more: the same opens, closes and
// control requests as its channel, each a direct call on the user-interface thread, without
// threads, waits or bounds. Every slot opened once to count the units; the settings read from
// the first unit that answers (opened, closed, opened again, asked, closed); at OK written back
// to every unit the same way, each later unit receiving the previous unit's answer. A floor may
// freeze with its driver; the program may not.
// The same traffic as the program's against the benched unit only (one unit that answers the
// GET with its whole record and status 1, and the SET with 0): the GET sends zeros where the
// program sends its default record, a GET that succeeds counts whatever status word it answers
// (after a read answered with status 0 the program writes nothing), and the write is never
// repeated (the program writes to every unit again after "in use").
#include "ProgramWork.h"

#include "driver/DriverControlCodes.h"

#include <cstdint>
#include <cstring>
#include <cwchar>

namespace {

constexpr int kSlots = 4;
constexpr DWORD kRecordBytes = 328;
constexpr DWORD kLightLoadOffset = 312;
constexpr DWORD kStatusOffset = 324;

wchar_t paths[kSlots][32];
std::uint8_t record[kRecordBytes];
bool read = false;

HANDLE Open(int slot) {
    return CreateFileW(paths[slot], GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0,
                       nullptr);
}

// Opened, closed, opened again, asked, closed: true when the request succeeded.
bool Ask(int slot, DWORD code) {
    HANDLE device = Open(slot);
    if (device == INVALID_HANDLE_VALUE) return false;
    CloseHandle(device);
    device = Open(slot);
    if (device == INVALID_HANDLE_VALUE) return false;
    DWORD returned = 0;
    const bool answered = DeviceIoControl(device, code, record, kRecordBytes, record,
                                          kRecordBytes, &returned, nullptr) != FALSE;
    CloseHandle(device);
    return answered;
}

}  // namespace

void ReadUnitsAtStart() {
    int count = 0;
    for (int slot = 0; slot < kSlots; ++slot) {
        std::swprintf(paths[slot], 32, L"\\\\.\\Kzdv041000%d", slot + 1);
        HANDLE device = Open(slot);
        if (device == INVALID_HANDLE_VALUE) continue;
        CloseHandle(device);
        ++count;
    }
    for (int slot = 0; count > 0 && slot < kSlots && !read; ++slot)
        read = Ask(slot, IOCTL_GET_SETTINGS);
}

bool LightLoadRead() {
    std::int32_t lightLoad = 0;
    std::memcpy(&lightLoad, record + kLightLoadOffset, sizeof lightLoad);
    return read && lightLoad == 1;
}

void WriteUnitsAtOk() {
    if (!read) return;
    std::memset(record + kStatusOffset, 0, 4);
    for (int slot = 0; slot < kSlots; ++slot) Ask(slot, IOCTL_SET_SETTINGS);
}
