#include <windows.h>

#include "companions/services.h"

namespace {

SC_HANDLE AsServiceHandle(ServiceHandle handle) { return reinterpret_cast<SC_HANDLE>(handle); }
ServiceHandle FromServiceHandle(SC_HANDLE handle) {
  return reinterpret_cast<ServiceHandle>(handle);
}

ServiceCallResult ResultOf(BOOL succeeded) {
  return ServiceCallResult{succeeded != FALSE, GetLastError()};
}

}  // namespace

ServiceHandle OpenServiceControlManager(std::uint32_t access) {
  return FromServiceHandle(OpenSCManagerW(nullptr, nullptr, access));
}

ServiceHandle OpenNamedService(ServiceHandle manager, const std::wstring& name,
                               std::uint32_t access) {
  return FromServiceHandle(OpenServiceW(AsServiceHandle(manager), name.c_str(), access));
}

void CloseServiceControl(ServiceHandle handle) { CloseServiceHandle(AsServiceHandle(handle)); }

int QueryServiceCurrentState(ServiceHandle service) {
  SERVICE_STATUS status{};
  if (!QueryServiceStatus(AsServiceHandle(service), &status)) return 0;
  return static_cast<int>(status.dwCurrentState);
}

ServiceCallResult StartOpenedService(ServiceHandle service) {
  return ResultOf(StartServiceW(AsServiceHandle(service), 0, nullptr));
}

ServiceCallResult SendStopControl(ServiceHandle service) {
  SERVICE_STATUS status{};
  return ResultOf(ControlService(AsServiceHandle(service), SERVICE_CONTROL_STOP, &status));
}

bool ActiveDependentServices(ServiceHandle service, std::vector<std::wstring>& names) {
  DWORD needed = 0;
  DWORD count = 0;
  // The first call only asks for the size; with no dependants it succeeds
  // and there is nothing to list.
  if (EnumDependentServicesW(AsServiceHandle(service), SERVICE_ACTIVE, nullptr, 0, &needed,
                             &count)) {
    names.clear();
    return true;
  }
  if (GetLastError() != ERROR_MORE_DATA) return false;
  // Room for what was reported, and two records to spare in case another
  // dependant starts between the calls.
  std::vector<ENUM_SERVICE_STATUSW> records(needed / sizeof(ENUM_SERVICE_STATUSW) + 2);
  const DWORD size = static_cast<DWORD>(records.size() * sizeof(ENUM_SERVICE_STATUSW));
  if (!EnumDependentServicesW(AsServiceHandle(service), SERVICE_ACTIVE, records.data(), size,
                              &needed, &count)) {
    return false;
  }
  names.clear();
  for (DWORD index = 0; index < count; ++index) {
    const wchar_t* name = records[index].lpServiceName;
    names.push_back(name ? name : L"");
  }
  return true;
}
