#pragma once
// One block of the string-table resource: 16 entries in a row, each a 16-bit count of UTF-16
// units followed by that many units, without terminator. Kept apart from the resource lookup so
// that damaged blocks can be examined directly.

#include <windows.h>

struct StringBlockEntry {
    const wchar_t* units = nullptr;
    WORD count = 0;
};

// Finds entry index of the block of sizeInBytes bytes at block (2-byte aligned, as resources
// are). Fails when the walk to the entry would pass the block's end, when the entry or its
// text runs past the end, or when its count is 0 (an absent entry).
bool FindStringInBlock(const void* block, DWORD sizeInBytes, UINT index, StringBlockEntry& entry);
