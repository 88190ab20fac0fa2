#include "ResourceModule.h"

#include "support/ProgramRun.h"

#include <algorithm>
#include <string>

HMODULE ModuleUnderTest() {
    // The shipped program itself (the program under test, see ProgramRun), mapped for its
    // resources only; it stays loaded for the test program's life.
    static const HMODULE module = [] {
        const std::wstring program = ProgramRun::ProgramPath();
        return LoadLibraryExW(program.c_str(), nullptr,
                              LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    }();
    return module;
}

ResourceBytes FindResourceBytes(LPCWSTR type, LPCWSTR name, WORD language) {
    const HMODULE module = ModuleUnderTest();
    if (module == nullptr) return {};  // never the test program's own copy of the resources
    const HRSRC found = FindResourceExW(module, type, name, language);
    if (found == nullptr) return {};
    const HGLOBAL loaded = LoadResource(module, found);
    if (loaded == nullptr) return {};
    return {static_cast<const BYTE*>(LockResource(loaded)), SizeofResource(module, found)};
}

ResourceBytes FindResourceBytes(LPCWSTR type, WORD number, WORD language) {
    return FindResourceBytes(type, MAKEINTRESOURCEW(number), language);
}

namespace {

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR param) {
    reinterpret_cast<std::vector<WORD>*>(param)->push_back(language);
    return TRUE;
}

BOOL CALLBACK CollectNumber(HMODULE, LPCWSTR, LPWSTR name, LONG_PTR param) {
    if (IS_INTRESOURCE(name))
        reinterpret_cast<std::vector<WORD>*>(param)->push_back(LOWORD(name));
    else
        reinterpret_cast<std::vector<WORD>*>(param)->push_back(0);  // a named one: never ours
    return TRUE;
}

}  // namespace

std::vector<WORD> LanguagesOf(LPCWSTR type, WORD number) {
    std::vector<WORD> languages;
    if (ModuleUnderTest() == nullptr) return languages;
    EnumResourceLanguagesW(ModuleUnderTest(), type, MAKEINTRESOURCEW(number), CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    std::sort(languages.begin(), languages.end());
    return languages;
}

std::vector<WORD> NumbersOf(LPCWSTR type) {
    std::vector<WORD> numbers;
    if (ModuleUnderTest() == nullptr) return numbers;
    EnumResourceNamesW(ModuleUnderTest(), type, CollectNumber, reinterpret_cast<LONG_PTR>(&numbers));
    std::sort(numbers.begin(), numbers.end());
    return numbers;
}

std::optional<std::vector<std::optional<std::wstring>>> EntriesOfBlock(const ResourceBytes& block) {
    if (!block) return std::nullopt;
    std::vector<std::optional<std::wstring>> entries;
    const auto* units = reinterpret_cast<const wchar_t*>(block.data);
    const size_t total = block.size / 2;
    size_t position = 0;
    for (int i = 0; i < 16; ++i) {
        if (position >= total) return std::nullopt;
        const size_t count = static_cast<WORD>(units[position]);
        if (position + 1 + count > total) return std::nullopt;
        if (count == 0)
            entries.emplace_back(std::nullopt);
        else
            entries.emplace_back(std::wstring(units + position + 1, count));
        position += 1 + count;
    }
    if (position * 2 != block.size) return std::nullopt;
    return entries;
}

std::optional<std::wstring> StringInLanguage(UINT id, WORD language) {
    const auto entries =
        EntriesOfBlock(FindResourceBytes(RT_STRING, static_cast<WORD>(id / 16 + 1), language));
    if (!entries) return std::nullopt;
    return (*entries)[id % 16];
}
