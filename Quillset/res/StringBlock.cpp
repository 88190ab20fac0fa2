#include "res/StringBlock.h"

bool FindStringInBlock(const void* block, DWORD sizeInBytes, UINT index, StringBlockEntry& entry) {
    if (block == nullptr) return false;
    const WORD* units = static_cast<const WORD*>(block);
    const DWORD total = sizeInBytes / sizeof(WORD);

    DWORD position = 0;
    for (UINT skipped = 0; skipped < index; ++skipped) {
        if (position >= total) return false;
        position += DWORD{units[position]} + 1;
        if (position > total) return false;
    }
    if (position >= total) return false;
    const WORD count = units[position];
    if (count == 0 || count > total - position - 1) return false;

    entry.units = reinterpret_cast<const wchar_t*>(units + position + 1);
    entry.count = count;
    return true;
}
