#include "RecordFile.h"

#include <windows.h>

bool ReadRecordFile(const std::wstring& path, SimRecord& record, std::wstring& error) {
    SimHandle file(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                 OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) {
        error = L"cannot open record file " + path + L": error " + std::to_wstring(::GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(file.Get(), &size) || size.QuadPart != ORVEXSIM_RECORD_SIZE) {
        error = L"record file " + path + L" must be exactly 328 bytes, it has " +
                std::to_wstring(size.QuadPart);
        return false;
    }
    DWORD read = 0;
    if (!::ReadFile(file.Get(), record.data(), ORVEXSIM_RECORD_SIZE, &read, nullptr) ||
        read != ORVEXSIM_RECORD_SIZE) {
        error = L"cannot read record file " + path;
        return false;
    }
    return true;
}

bool WriteRecordFile(const std::wstring& path, const SimRecord& record, std::wstring& error) {
    SimHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                 FILE_ATTRIBUTE_NORMAL, nullptr));
    DWORD written = 0;
    if (!file ||
        !::WriteFile(file.Get(), record.data(), ORVEXSIM_RECORD_SIZE, &written, nullptr) ||
        written != ORVEXSIM_RECORD_SIZE) {
        error = L"cannot write record file " + path + L": error " + std::to_wstring(::GetLastError());
        return false;
    }
    return true;
}
