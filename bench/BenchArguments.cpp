#include "BenchArguments.h"

#include <cwchar>
#include <cwctype>

const wchar_t kBenchUsage[] =
    L"usage: quillset_bench [--runs N] [--warmup N] [--check-traffic] [--out FILE]\n"
    L"                      [--earlier EXE]\n";

namespace {

constexpr int kMostRuns = 1000;

// A whole decimal number from 0 to kMostRuns.
bool ParseCount(const wchar_t* text, int& count) {
    if (!text || !*text) return false;
    long value = 0;
    for (const wchar_t* p = text; *p; ++p) {
        if (!std::iswdigit(*p)) return false;
        value = value * 10 + (*p - L'0');
        if (value > kMostRuns) return false;
    }
    count = static_cast<int>(value);
    return true;
}

}  // namespace

bool ParseBenchArguments(int argc, wchar_t** argv, BenchArguments& arguments,
                         std::wstring& error) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        const wchar_t* value = i + 1 < argc ? argv[i + 1] : nullptr;
        if (option == L"--check-traffic") {
            arguments.checkTraffic = true;
        } else if (option == L"--runs" || option == L"--warmup") {
            int& target = option == L"--runs" ? arguments.runs : arguments.warmup;
            if (!ParseCount(value, target)) {
                error = option + L" takes a number from 0 to " + std::to_wstring(kMostRuns);
                return false;
            }
            ++i;
        } else if (option == L"--out" || option == L"--earlier") {
            if (!value || !*value) {
                error = option + L" takes a file name";
                return false;
            }
            (option == L"--out" ? arguments.out : arguments.earlierProgram) = value;
            ++i;
        } else {
            error = L"unknown argument " + option;
            return false;
        }
    }
    if (arguments.runs < 1) {
        error = L"--runs must be at least 1";
        return false;
    }
    return true;
}
