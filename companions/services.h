// Windows services, used for the Oculus runtime service: query, start, and
// stop with the services that depend on it. None of them waits for the
// service to change state; callers watch ServiceState afterwards.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// ServiceState results: the service control manager's dwCurrentState, or
// kServiceUnknown when the service cannot be queried (not installed, or the
// manager or the service cannot be opened).
inline constexpr int kServiceUnknown = 0;
inline constexpr int kServiceStopped = 1;
inline constexpr int kServiceRunning = 4;

int ServiceState(const std::wstring& name);
// Non-zero when the service was started or already ran.
int StartServiceByName(const std::wstring& name);
// Stops the service, its running dependants first; non-zero when the stop
// was accepted or the service was not running.
int StopServiceWithDependents(const std::wstring& name);

// The service control manager as the operations above use it. A handle of
// 0 is none; every handle opened is closed again with CloseServiceControl.
using ServiceHandle = std::uintptr_t;

inline constexpr std::uint32_t kManagerEnumerate = 0x4;  // SC_MANAGER_ENUMERATE_SERVICE
// Connect, create, enumerate and lock, with the standard rights.
inline constexpr std::uint32_t kManagerControl = 0xF000F;
inline constexpr std::uint32_t kServiceQueryStatus = 0x4;
inline constexpr std::uint32_t kServiceStart = 0x10;
inline constexpr std::uint32_t kServiceStop = 0x20;
inline constexpr std::uint32_t kServiceEnumerateDependents = 0x8;

// Windows error codes the operations tell apart.
inline constexpr std::uint32_t kErrorDependentServicesRunning = 1051;
inline constexpr std::uint32_t kErrorServiceAlreadyRunning = 1056;
inline constexpr std::uint32_t kErrorServiceNotActive = 1062;

struct ServiceCallResult {
  bool succeeded = false;
  std::uint32_t error = 0;  // GetLastError right after the call
};

ServiceHandle OpenServiceControlManager(std::uint32_t access);
ServiceHandle OpenNamedService(ServiceHandle manager, const std::wstring& name,
                               std::uint32_t access);
void CloseServiceControl(ServiceHandle handle);
// dwCurrentState, or 0 when the query fails.
int QueryServiceCurrentState(ServiceHandle service);
ServiceCallResult StartOpenedService(ServiceHandle service);
ServiceCallResult SendStopControl(ServiceHandle service);
// The names of the running services that depend on `service`, in the order
// the manager lists them; false when they cannot be listed.
bool ActiveDependentServices(ServiceHandle service, std::vector<std::wstring>& names);
