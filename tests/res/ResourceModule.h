#pragma once
// Access to the resources of the program under test, read in an explicit language so that each
// language version can be checked whatever the test machine's own language is.

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

// The module whose resources are checked.
HMODULE ModuleUnderTest();

struct ResourceBytes {
    const BYTE* data = nullptr;
    DWORD size = 0;
    explicit operator bool() const { return data != nullptr; }
};

// The resource of exactly this language, or empty when the module has none.
ResourceBytes FindResourceBytes(LPCWSTR type, LPCWSTR name, WORD language);
ResourceBytes FindResourceBytes(LPCWSTR type, WORD number, WORD language);

// The languages in which the module carries the resource, in ascending order.
std::vector<WORD> LanguagesOf(LPCWSTR type, WORD number);

// The numbers of all resources of a type, in ascending order.
std::vector<WORD> NumbersOf(LPCWSTR type);

// The 16 entries of a string block, read independently of the program's own walk. An entry of
// count 0 is empty. Fails (returns nothing) unless the entries fill the block exactly.
std::optional<std::vector<std::optional<std::wstring>>> EntriesOfBlock(const ResourceBytes& block);

// Entry id in the table of this language; empty when the entry or its block is absent.
std::optional<std::wstring> StringInLanguage(UINT id, WORD language);
