#pragma once
// Texts from the program's string table, in the language the platform picks, and the
// placeholder replacement used wherever a text carries "__MODEL__" or "__VERSION__".

#include <windows.h>

#include <string>

inline constexpr wchar_t kModelName[] = L"ORVEX";
inline constexpr wchar_t kModelPlaceholder[] = L"__MODEL__";
inline constexpr wchar_t kVersionPlaceholder[] = L"__VERSION__";

// Fills text with string id. On failure returns false and leaves text exactly as it was.
bool LoadText(std::wstring& text, UINT id);

// Replaces every placeholder in text, left to right, never searching inserted text again.
// Returns the number of occurrences replaced. A null or empty placeholder replaces nothing;
// a null replacement counts as the empty text.
int ReplaceAll(std::wstring& text, const wchar_t* placeholder, const wchar_t* replacement);

// If the dialog has control controlId, loads id and, when that succeeds, sets it as the
// control's text. True only when the text was set.
bool SetControlText(HWND dialog, int controlId, UINT id);
