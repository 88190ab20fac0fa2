#pragma once
// Strict reading of orvexsim's arguments: a bad one yields a message, never a guess.

#include <cstdint>
#include <string>
#include <vector>

// A decimal or 0x-prefixed hexadecimal number no larger than max.
bool ParseNumber(const wchar_t* text, std::uint32_t max, std::uint32_t& value);

// A unit number, 1 to 4; otherwise error says why.
bool ParseUnit(const wchar_t* text, int& unit, std::wstring& error);

// One or more SET statuses (32-bit numbers), at most the driver's limit.
bool ParseStatusList(const std::vector<std::wstring>& texts, std::vector<std::uint32_t>& statuses,
                     std::wstring& error);

// "get", "set", "both" or "none" as ORVEXSIM_FAIL_* bits.
bool ParseFailMask(const wchar_t* text, std::uint32_t& mask, std::wstring& error);
