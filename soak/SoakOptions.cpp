#include "SoakOptions.h"

#include <cerrno>
#include <cwchar>

const char kSoakUsage[] =
    "usage: quillset_soak [--runs N] [--seed S] [--max-seconds T] [--verbose]\n"
    "  --runs N         runs to make (1 to 1000000; default 200)\n"
    "  --seed S         seed of the first run, decimal or 0x hexadecimal; run i uses S + i\n"
    "                   (default: from the clock; printed either way)\n"
    "  --max-seconds T  start no run after T seconds (1 to 86400; default 900)\n"
    "  --verbose        a line for every run\n"
    "Replay a failing run with the --seed it prints and --runs 1.\n";

namespace {

bool ParseNumber(const wchar_t* text, std::uint64_t max, std::uint64_t& value) {
    if (!text || !*text || *text == L'-' || *text == L'+') return false;
    wchar_t* end = nullptr;
    errno = 0;
    const unsigned long long parsed = std::wcstoull(text, &end, 0);
    if (errno == ERANGE || *end != L'\0' || parsed > max) return false;
    value = parsed;
    return true;
}

std::string Narrow(const wchar_t* text) {
    std::string out;
    for (; text && *text; ++text) out += (*text >= 32 && *text < 127) ? static_cast<char>(*text) : '?';
    return out;
}

}  // namespace

bool ParseSoakOptions(int argc, wchar_t** argv, SoakOptions& options, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::wstring option = argv[i];
        if (option == L"--verbose") {
            options.verbose = true;
            continue;
        }
        if (option == L"--help" || option == L"-h") {
            options.help = true;
            continue;
        }
        std::uint64_t max = 0;
        if (option == L"--runs") max = 1000000;
        else if (option == L"--seed") max = UINT64_MAX;
        else if (option == L"--max-seconds") max = 86400;
        else {
            error = "unknown option " + Narrow(argv[i]);
            return false;
        }
        std::uint64_t value = 0;
        const wchar_t* argument = i + 1 < argc ? argv[++i] : nullptr;
        if (!ParseNumber(argument, max, value) || (option != L"--seed" && value == 0)) {
            error = "bad value for " + Narrow(option.c_str()) + ": " +
                    (argument ? Narrow(argument) : std::string("(none)"));
            return false;
        }
        if (option == L"--runs") options.runs = static_cast<std::uint32_t>(value);
        else if (option == L"--max-seconds") options.maxSeconds = static_cast<std::uint32_t>(value);
        else {
            options.seed = value;
            options.seedGiven = true;
        }
    }
    return true;
}
