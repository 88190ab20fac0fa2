#pragma once
// A settings record as a file: exactly 328 raw bytes.

#include "SimControl.h"

#include <string>

bool ReadRecordFile(const std::wstring& path, SimRecord& record, std::wstring& error);
bool WriteRecordFile(const std::wstring& path, const SimRecord& record, std::wstring& error);
