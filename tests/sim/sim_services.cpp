#include "base/text.h"
#include "companions/services.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_state.h"

namespace {

constexpr std::uint32_t kErrorAccessDenied = 5;
constexpr std::uint32_t kErrorInvalidHandle = 6;
constexpr std::uint32_t kErrorServiceCannotAcceptControl = 1061;
constexpr std::uint32_t kErrorServiceDoesNotExist = 1060;
constexpr int kStartPending = 2;
constexpr int kStopPending = 3;

sim::SimServices& Services() { return sim::State().services; }

sim::SimService* Find(const std::wstring& name) {
  auto found = Services().services.find(ToLowerAscii(name));
  return found == Services().services.end() ? nullptr : &found->second;
}

// The service an open handle stands for, if it grants `access`.
sim::SimService* Granted(ServiceHandle handle, std::uint32_t access, std::uint32_t& error) {
  auto found = Services().handles.find(handle);
  if (found == Services().handles.end() || found->second.service.empty()) {
    error = kErrorInvalidHandle;
    return nullptr;
  }
  if ((found->second.access & access) != access) {
    error = kErrorAccessDenied;
    return nullptr;
  }
  sim::SimService* service = Find(found->second.service);
  if (!service) error = kErrorServiceDoesNotExist;
  return service;
}

std::wstring NameOf(ServiceHandle handle) { return Services().handles[handle].service; }

void Settle(const std::wstring& name, int finalState) {
  const auto settle = [name, finalState] {
    if (sim::SimService* service = Find(name)) service->state = finalState;
  };
  if (Services().reactionMs == 0) {
    settle();
  } else {
    sim::At(sim::State().nowMs + Services().reactionMs, settle);
  }
}

bool Active(const std::wstring& name) {
  const sim::SimService* service = Find(name);
  return service && service->state != kServiceStopped;
}

ServiceCallResult Failed(std::uint32_t error) { return ServiceCallResult{false, error}; }

}  // namespace

namespace sim {

void InstallService(const std::wstring& name, int state,
                    const std::vector<std::wstring>& dependents) {
  SimService& service = Services().services[ToLowerAscii(name)];
  service.state = state;
  service.dependents = dependents;
}

void SetServiceReactionMs(std::int64_t milliseconds) { Services().reactionMs = milliseconds; }

int ServiceStateOf(const std::wstring& name) {
  const SimService* service = Find(name);
  return service ? service->state : kServiceUnknown;
}

void RefuseServiceStop(const std::wstring& name) { Find(name)->refusesStop = true; }
void FailServiceStart(const std::wstring& name) { Find(name)->startFails = true; }
void RefuseServiceManager() { Services().managerRefused = true; }
const std::vector<ServiceRequest>& ServiceRequests() { return Services().requests; }
int OpenServiceHandles() { return static_cast<int>(Services().handles.size()); }

}  // namespace sim

ServiceHandle OpenServiceControlManager(std::uint32_t access) {
  const sim::MachineCall call;
  ++sim::State().calls.serviceQueries;
  if (Services().managerRefused) return 0;
  const ServiceHandle handle = Services().nextHandle++;
  Services().handles[handle] = sim::SimHandle{L"", access};
  return handle;
}

ServiceHandle OpenNamedService(ServiceHandle manager, const std::wstring& name,
                               std::uint32_t access) {
  const sim::MachineCall call;
  auto found = Services().handles.find(manager);
  if (found == Services().handles.end() || !found->second.service.empty() || !Find(name)) return 0;
  const ServiceHandle handle = Services().nextHandle++;
  Services().handles[handle] = sim::SimHandle{name, access};
  return handle;
}

void CloseServiceControl(ServiceHandle handle) {
  const sim::MachineCall call;
  Services().handles.erase(handle);
}

int QueryServiceCurrentState(ServiceHandle service) {
  const sim::MachineCall call;
  std::uint32_t error = 0;
  const sim::SimService* granted = Granted(service, kServiceQueryStatus, error);
  return granted ? granted->state : 0;
}

ServiceCallResult StartOpenedService(ServiceHandle service) {
  const sim::MachineCall call;
  std::uint32_t error = 0;
  sim::SimService* granted = Granted(service, kServiceStart, error);
  if (!granted) return Failed(error);
  if (granted->state != kServiceStopped) return Failed(kErrorServiceAlreadyRunning);
  const std::wstring name = NameOf(service);
  Services().requests.push_back(sim::ServiceRequest{name, false, sim::State().nowMs});
  granted->state = kStartPending;
  Settle(name, granted->startFails ? kServiceStopped : kServiceRunning);
  return ServiceCallResult{true, 0};
}

ServiceCallResult SendStopControl(ServiceHandle service) {
  const sim::MachineCall call;
  std::uint32_t error = 0;
  sim::SimService* granted = Granted(service, kServiceStop, error);
  if (!granted) return Failed(error);
  const std::wstring name = NameOf(service);
  Services().requests.push_back(sim::ServiceRequest{name, true, sim::State().nowMs});
  if (granted->state == kServiceStopped) return Failed(kErrorServiceNotActive);
  for (const std::wstring& dependent : granted->dependents) {
    if (Active(dependent)) return Failed(kErrorDependentServicesRunning);
  }
  if (granted->refusesStop || granted->state == kStopPending) {
    return Failed(kErrorServiceCannotAcceptControl);
  }
  granted->state = kStopPending;
  Settle(name, kServiceStopped);
  return ServiceCallResult{true, 0};
}

bool ActiveDependentServices(ServiceHandle service, std::vector<std::wstring>& names) {
  const sim::MachineCall call;
  std::uint32_t error = 0;
  const sim::SimService* granted = Granted(service, kServiceEnumerateDependents, error);
  if (!granted) return false;
  names.clear();
  for (const std::wstring& dependent : granted->dependents) {
    if (Active(dependent)) names.push_back(dependent);
  }
  return true;
}
