#include "res/StringBlock.h"
#include "res/Texts.h"

bool LoadText(std::wstring& text, UINT id) {
    const HMODULE module = GetModuleHandleW(nullptr);
    if (module == nullptr) return false;

    // No language named: the platform picks the version for the thread's user interface language.
    const WORD blockNumber = static_cast<WORD>(id / 16 + 1);
    const HRSRC block = FindResourceW(module, MAKEINTRESOURCEW(blockNumber), RT_STRING);
    if (block == nullptr) return false;
    const HGLOBAL loaded = LoadResource(module, block);
    if (loaded == nullptr) return false;
    const void* data = LockResource(loaded);
    const DWORD size = SizeofResource(module, block);

    StringBlockEntry entry;
    if (!FindStringInBlock(data, size, id % 16, entry)) return false;
    text.assign(entry.units, entry.count);
    return true;
}
