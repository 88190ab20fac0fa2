#pragma once
// What the string table must hold: the eight languages and, in each, every text the program
// shows (and the README path it uses).

#include <windows.h>

#include <vector>

struct LanguageTable {
    WORD language;
    const char* name;
};

// The eight languages, in the order English (United States), Japanese (Japan), then the six
// carried under their primary language.
const std::vector<LanguageTable>& CarriedLanguages();

// The identifiers whose texts the program uses.
const std::vector<UINT>& UsedIdentifiers();

// The exact text of a used identifier in a carried language.
const wchar_t* ExpectedText(WORD language, UINT id);
