#include "companions/services.h"

namespace {

// Closes the handle on every path out of an operation.
class ScopedService {
 public:
  explicit ScopedService(ServiceHandle handle) : handle_(handle) {}
  ~ScopedService() {
    if (handle_) CloseServiceControl(handle_);
  }
  ScopedService(const ScopedService&) = delete;
  ScopedService& operator=(const ScopedService&) = delete;

  explicit operator bool() const { return handle_ != 0; }
  ServiceHandle Get() const { return handle_; }

 private:
  ServiceHandle handle_;
};

constexpr std::uint32_t kStopAccess =
    kServiceStop | kServiceEnumerateDependents | kServiceQueryStatus;

// Dependants listed later were started later; they go first.
bool StopDependents(ServiceHandle manager, ServiceHandle service) {
  std::vector<std::wstring> names;
  if (!ActiveDependentServices(service, names)) return false;
  for (auto name = names.rbegin(); name != names.rend(); ++name) {
    if (name->empty()) continue;
    ScopedService dependent(OpenNamedService(manager, *name, kStopAccess));
    if (dependent) SendStopControl(dependent.Get());
  }
  return true;
}

}  // namespace

int ServiceState(const std::wstring& name) {
  ScopedService manager(OpenServiceControlManager(kManagerEnumerate));
  if (!manager) return kServiceUnknown;
  ScopedService service(OpenNamedService(manager.Get(), name, kServiceQueryStatus));
  if (!service) return kServiceUnknown;
  return QueryServiceCurrentState(service.Get());
}

int StartServiceByName(const std::wstring& name) {
  ScopedService manager(OpenServiceControlManager(kManagerControl));
  if (!manager) return 0;
  ScopedService service(OpenNamedService(manager.Get(), name, kServiceStart | kServiceQueryStatus));
  if (!service) return 0;
  const ServiceCallResult started = StartOpenedService(service.Get());
  if (!started.succeeded && started.error == kErrorServiceAlreadyRunning) return 1;
  return started.succeeded ? 1 : 0;
}

int StopServiceWithDependents(const std::wstring& name) {
  ScopedService manager(OpenServiceControlManager(kManagerControl));
  if (!manager) return 0;
  ScopedService service(OpenNamedService(manager.Get(), name, kStopAccess));
  if (!service) return 0;
  const ServiceCallResult stopped = SendStopControl(service.Get());
  if (stopped.succeeded) return 1;
  if (stopped.error == kErrorServiceNotActive) return 1;
  if (stopped.error != kErrorDependentServicesRunning) return 0;
  if (!StopDependents(manager.Get(), service.Get())) return 0;
  return SendStopControl(service.Get()).succeeded ? 1 : 0;
}
