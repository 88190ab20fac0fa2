#include "Arguments.h"

#include <windows.h>
#include <winioctl.h>

#include "OrvexSimProtocol.h"

#include <cwchar>

bool ParseNumber(const wchar_t* text, std::uint32_t max, std::uint32_t& value) {
    if (text == nullptr || *text == L'\0') return false;
    std::uint64_t base = 10;
    if (text[0] == L'0' && (text[1] == L'x' || text[1] == L'X')) {
        base = 16;
        text += 2;
        if (*text == L'\0') return false;
    }
    std::uint64_t result = 0;
    for (; *text != L'\0'; ++text) {
        std::uint64_t digit;
        if (*text >= L'0' && *text <= L'9')
            digit = static_cast<std::uint64_t>(*text - L'0');
        else if (base == 16 && *text >= L'a' && *text <= L'f')
            digit = static_cast<std::uint64_t>(*text - L'a' + 10);
        else if (base == 16 && *text >= L'A' && *text <= L'F')
            digit = static_cast<std::uint64_t>(*text - L'A' + 10);
        else
            return false;
        result = result * base + digit;
        if (result > max) return false;
    }
    value = static_cast<std::uint32_t>(result);
    return true;
}

bool ParseUnit(const wchar_t* text, int& unit, std::wstring& error) {
    std::uint32_t n = 0;
    if (!ParseNumber(text, ORVEXSIM_UNIT_COUNT, n) || n < 1) {
        error = std::wstring(L"unknown unit '") + (text ? text : L"") + L"': units are 1 to 4";
        return false;
    }
    unit = static_cast<int>(n);
    return true;
}

bool ParseStatusList(const std::vector<std::wstring>& texts, std::vector<std::uint32_t>& statuses,
                     std::wstring& error) {
    statuses.clear();
    if (texts.empty()) {
        error = L"give at least one SET status (for example: 1 2)";
        return false;
    }
    if (texts.size() > ORVEXSIM_MAX_SET_STATUSES) {
        error = L"at most " + std::to_wstring(ORVEXSIM_MAX_SET_STATUSES) + L" SET statuses, not " +
                std::to_wstring(texts.size());
        return false;
    }
    for (const auto& text : texts) {
        std::uint32_t status = 0;
        if (text == L"fail") {
            status = ORVEXSIM_SET_FAILS;
        } else if (!ParseNumber(text.c_str(), ORVEXSIM_SET_FAILS - 1, status)) {
            error = L"bad SET status '" + text +
                    L"': a status is a number from 0 to 4294967294, or fail";
            return false;
        }
        statuses.push_back(status);
    }
    return true;
}

bool ParseFailMask(const wchar_t* text, std::uint32_t& mask, std::wstring& error) {
    const std::wstring word = text ? text : L"";
    if (word == L"get") mask = ORVEXSIM_FAIL_GET;
    else if (word == L"set") mask = ORVEXSIM_FAIL_SET;
    else if (word == L"both") mask = ORVEXSIM_FAIL_ALL;
    else if (word == L"none") mask = 0;
    else {
        error = L"unknown control code '" + word + L"': say get, set, both or none";
        return false;
    }
    return true;
}
