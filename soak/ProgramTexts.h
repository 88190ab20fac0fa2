#pragma once
// The texts the program's message boxes should show, taken from Kzds0410.exe itself (loaded
// as a data file), in the language the platform picks for this process, which the program,
// started from here, shares.

#include <windows.h>

#include <map>
#include <string>

class ProgramTexts {
public:
    ProgramTexts() = default;
    // Loads the message texts 33090 and 33091 and the message box caption 57344.
    bool Load(const std::wstring& programPath, std::string& error);

    // Empty when the string is not there.
    std::wstring Text(UINT id) const;
    // Which of the loaded message texts this is; 0 for none.
    UINT IdOfMessage(const std::wstring& text) const;

private:
    std::map<UINT, std::wstring> texts;
};
