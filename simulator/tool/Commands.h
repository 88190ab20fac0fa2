#pragma once
// orvexsim's commands. Exit codes: 0 done, 1 the simulator or Wine refused, 2 bad arguments.

#include <string>
#include <vector>

inline constexpr int kExitDone = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// args excludes the program name. Output goes to out, messages to err.
int RunCommand(const std::vector<std::wstring>& args, std::wstring& out, std::wstring& err);
