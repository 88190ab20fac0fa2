#pragma once
// The benchmark driver's command line:
//   quillset_bench [--runs N] [--warmup N] [--check-traffic] [--out FILE] [--earlier EXE]

#include <string>

struct BenchArguments {
    int runs = 30;          // measured runs of each program
    int warmup = 1;         // unmeasured runs of each program first
    bool checkTraffic = false;  // exit 1 when a run's device traffic is not the expected one
    std::wstring out = L"bench-results.json";
    std::wstring earlierProgram;  // another build of Kzds0410.exe to time beside this one
};

// False, with a message fit for the user, when the command line is not understood.
bool ParseBenchArguments(int argc, wchar_t** argv, BenchArguments& arguments,
                         std::wstring& error);

extern const wchar_t kBenchUsage[];
