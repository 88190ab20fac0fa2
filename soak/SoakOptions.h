#pragma once
// The soak's command line: --runs N, --seed S, --max-seconds T, --verbose. A later option
// overrides an earlier one, so a script can put its defaults first.

#include <cstdint>
#include <string>

struct SoakOptions {
    std::uint32_t runs = 200;
    bool seedGiven = false;
    std::uint64_t seed = 0;       // run i uses seed + i
    std::uint32_t maxSeconds = 900;  // no new run starts after this
    bool verbose = false;         // a line for every run, not only for the failing ones
    bool help = false;
};

bool ParseSoakOptions(int argc, wchar_t** argv, SoakOptions& options, std::string& error);

extern const char kSoakUsage[];
