#include "DriverService.h"

#include "SimControl.h"

#include <windows.h>

#include <utility>
#include <vector>

namespace {

constexpr DWORD kStartWaitMs = 20000;
constexpr DWORD kStopWaitMs = 10000;
constexpr DWORD kPollMs = 20;

class ServiceHandle {
public:
    explicit ServiceHandle(SC_HANDLE handle = nullptr) noexcept : handle_(handle) {}
    ~ServiceHandle() {
        if (handle_) ::CloseServiceHandle(handle_);
    }
    ServiceHandle(const ServiceHandle&) = delete;
    ServiceHandle& operator=(const ServiceHandle&) = delete;
    SC_HANDLE Get() const noexcept { return handle_; }
    explicit operator bool() const noexcept { return handle_ != nullptr; }
    void Reset(SC_HANDLE handle) noexcept {
        SC_HANDLE old = std::exchange(handle_, handle);
        if (old) ::CloseServiceHandle(old);
    }

private:
    SC_HANDLE handle_;
};

std::wstring Failed(const wchar_t* what) {
    return std::wstring(what) + L" failed: error " + std::to_wstring(::GetLastError());
}

bool ControlDeviceOpens() {
    SimControl control;
    return control.Connect();
}

bool QueryState(SC_HANDLE service, DWORD& state) {
    SERVICE_STATUS status{};
    if (!::QueryServiceStatus(service, &status)) return false;
    state = status.dwCurrentState;
    return true;
}

// Points an existing service at sysPath, as an auto-start kernel driver.
bool Reconfigure(SC_HANDLE service, const std::wstring& sysPath, std::wstring& error) {
    DWORD needed = 0;
    ::QueryServiceConfigW(service, nullptr, 0, &needed);
    std::vector<unsigned char> buffer(needed ? needed : sizeof(QUERY_SERVICE_CONFIGW));
    auto* config = reinterpret_cast<QUERY_SERVICE_CONFIGW*>(buffer.data());
    if (!::QueryServiceConfigW(service, config, static_cast<DWORD>(buffer.size()), &needed)) {
        error = Failed(L"QueryServiceConfigW");
        return false;
    }
    if (config->lpBinaryPathName && sysPath == config->lpBinaryPathName &&
        config->dwStartType == SERVICE_AUTO_START)
        return true;
    if (!::ChangeServiceConfigW(service, SERVICE_KERNEL_DRIVER, SERVICE_AUTO_START,
                                SERVICE_ERROR_NORMAL, sysPath.c_str(), nullptr, nullptr, nullptr,
                                nullptr, nullptr, nullptr)) {
        error = Failed(L"ChangeServiceConfigW");
        return false;
    }
    return true;
}

}  // namespace

bool InstallDriverService(const std::wstring& sysPath, std::wstring& error) {
    ServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        error = Failed(L"OpenSCManagerW");
        return false;
    }
    ServiceHandle service(::OpenServiceW(manager.Get(), kDriverServiceName, SERVICE_ALL_ACCESS));
    if (service) {
        if (!Reconfigure(service.Get(), sysPath, error)) return false;
    } else {
        service.Reset(::CreateServiceW(
            manager.Get(), kDriverServiceName, L"ORVEX simulator", SERVICE_ALL_ACCESS,
            SERVICE_KERNEL_DRIVER, SERVICE_AUTO_START, SERVICE_ERROR_NORMAL, sysPath.c_str(),
            nullptr, nullptr, nullptr, nullptr, nullptr));
        if (!service) {
            error = Failed(L"CreateServiceW");
            return false;
        }
    }

    DWORD state = 0;
    if (QueryState(service.Get(), state) && state != SERVICE_RUNNING &&
        state != SERVICE_START_PENDING && !::StartServiceW(service.Get(), 0, nullptr) &&
        ::GetLastError() != ERROR_SERVICE_ALREADY_RUNNING) {
        error = Failed(L"StartServiceW") + L" (is " + sysPath + L" a loadable driver?)";
        return false;
    }

    const ULONGLONG start = ::GetTickCount64();
    while (!ControlDeviceOpens()) {
        if (::GetTickCount64() - start > kStartWaitMs) {
            SimControl control;
            control.Connect();
            error = L"the driver service runs but its control device does not answer within " +
                    std::to_wstring(kStartWaitMs) + L" ms: " + control.LastError();
            return false;
        }
        ::Sleep(kPollMs);
    }
    return true;
}

bool StopDriverService(std::wstring& error) {
    ServiceHandle manager(::OpenSCManagerW(nullptr, nullptr, SC_MANAGER_ALL_ACCESS));
    if (!manager) {
        error = Failed(L"OpenSCManagerW");
        return false;
    }
    ServiceHandle service(::OpenServiceW(manager.Get(), kDriverServiceName, SERVICE_ALL_ACCESS));
    if (!service) return true;  // never installed: nothing runs

    SERVICE_STATUS status{};
    DWORD state = 0;
    if (QueryState(service.Get(), state) && state != SERVICE_STOPPED &&
        !::ControlService(service.Get(), SERVICE_CONTROL_STOP, &status) &&
        ::GetLastError() != ERROR_SERVICE_NOT_ACTIVE) {
        error = Failed(L"ControlService(stop)");
        return false;
    }
    const ULONGLONG start = ::GetTickCount64();
    while (!QueryState(service.Get(), state) || state != SERVICE_STOPPED || ControlDeviceOpens()) {
        if (::GetTickCount64() - start > kStopWaitMs) {
            error = L"the driver did not stop within " + std::to_wstring(kStopWaitMs) + L" ms";
            return false;
        }
        ::Sleep(kPollMs);
    }
    return true;
}
