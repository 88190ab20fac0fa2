#include "Dump.h"

#include "OrvexDevice.h"

#include <cstdio>
#include <cwchar>

namespace {

std::wstring Hex(unsigned long value, int digits) {
    wchar_t text[16];
    std::swprintf(text, std::size(text), L"%0*lX", digits, value);
    return text;
}

std::wstring Bytes(const std::uint8_t* data, std::size_t size) {
    std::wstring out;
    for (std::size_t offset = 0; offset < size; offset += 16) {
        out += L"    " + Hex(static_cast<unsigned long>(offset), 4) + L":";
        for (std::size_t i = offset; i < offset + 16 && i < size; ++i)
            out += L" " + Hex(data[i], 2);
        out += L"\n";
    }
    return out;
}

std::wstring CodeName(DWORD code) {
    if (code == ORVEX_IOCTL_GET_SETTINGS) return L"GET";
    if (code == ORVEX_IOCTL_SET_SETTINGS) return L"SET";
    return L"unknown";
}

std::wstring FailName(DWORD mask) {
    switch (mask) {
    case 0: return L"none";
    case ORVEXSIM_FAIL_GET: return L"get";
    case ORVEXSIM_FAIL_SET: return L"set";
    default: return L"both";
    }
}

std::wstring DelayName(DWORD ms) {
    if (ms == SimControl::kDelayForever) return L"forever";
    return std::to_wstring(ms) + L" ms";
}

std::wstring SitName(DWORD ms) {
    if (ms == SimControl::kSitUntilUnblocked) return L"until unblocked";
    return std::to_wstring(ms) + L" ms";
}

std::uint32_t WordAt(const SimRecord& record, std::size_t offset) {
    return static_cast<std::uint32_t>(record[offset]) | (record[offset + 1] << 8) |
           (record[offset + 2] << 16) | (static_cast<std::uint32_t>(record[offset + 3]) << 24);
}

}  // namespace

std::wstring DescribeUnitSummary(int unit, const SimUnitState& state) {
    std::wstring out = L"unit " + std::to_wstring(unit) + (state.present ? L": present" : L": absent");
    out += L"\n  opens " + std::to_wstring(state.opens) + L", closes " +
           std::to_wstring(state.closes) + L", open now " + std::to_wstring(state.openNow) + L", requests " +
           std::to_wstring(state.requests) + L"\n";
    out += L"  GET status " + std::to_wstring(WordAt(state.record, ORVEXSIM_STATUS_OFFSET)) +
           L", light load " + std::to_wstring(static_cast<std::int32_t>(WordAt(state.record, 312))) +
           L"; fails " + FailName(state.failMask) + L"; delay " + DelayName(state.delayMs) +
           L"; answers " + std::to_wstring(state.answerBytes) + L" bytes\n";
    out += L"  cancellation " + std::wstring(state.refusesCancel ? L"refused" : L"allowed") +
           L"; cancelled " + std::to_wstring(state.cancelled) + L", cancel refused " +
           std::to_wstring(state.cancelsRefused) + L"\n";
    if (state.sitGetMs != 0 || state.sitSetMs != 0)
        out += L"  dispatch sits: GET " + SitName(state.sitGetMs) + L", SET " +
               SitName(state.sitSetMs) + L"\n";
    out += L"  SET statuses:";
    if (state.setStatuses.empty()) out += L" none";
    for (auto s : state.setStatuses)
        out += s == ORVEXSIM_SET_FAILS ? std::wstring(L" fail") : L" " + std::to_wstring(s);
    out += L" (" + std::to_wstring(state.setsAnswered) + L" SETs answered; then 0)\n";
    return out;
}

std::wstring DescribeUnit(int unit, const SimUnitState& state, const std::vector<SimRequest>& log) {
    std::wstring out = DescribeUnitSummary(unit, state);
    out += L"  record:\n" + Bytes(state.record.data(), state.record.size());
    for (const auto& r : log) {
        out += L"  request #" + std::to_wstring(r.sequence) + L" " + CodeName(r.code) + L" 0x" +
               Hex(r.code, 8) + L" in " + std::to_wstring(r.inputLength) + L" out " +
               std::to_wstring(r.outputLength);
        if (r.result >= 0)
            out += L" -> ok, " + std::to_wstring(r.answerBytes) + L" bytes";
        else if (r.result == ORVEXSIM_RESULT_CANCELLED)
            out += L" -> cancelled";
        else
            out += L" -> failed 0x" + Hex(static_cast<unsigned long>(r.result), 8);
        if (r.pended) out += L", late";
        out += L"\n" + Bytes(r.input.data(), r.input.size());
    }
    return out;
}
