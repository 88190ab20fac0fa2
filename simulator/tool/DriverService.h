#pragma once
// The simulated driver as a kernel driver service of the Wine prefix. It is created
// AUTO_START: the driver lives only as long as the wineserver, and only auto-start drivers
// are loaded again by the next one.

#include <string>

inline constexpr wchar_t kDriverServiceName[] = L"orvexsim";

// Creates the service once (or points it at sysPath), starts it unless it runs, and waits
// until the control device answers.
bool InstallDriverService(const std::wstring& sysPath, std::wstring& error);

// Stops the driver if it runs (so that its file can be replaced) and waits until it is gone.
bool StopDriverService(std::wstring& error);
