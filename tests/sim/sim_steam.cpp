#include "companions/steam.h"
#include "tests/sim/sim.h"
#include "tests/sim/sim_state.h"

namespace sim {

void AddReadyDrive(wchar_t letter) { State().readyDrives.insert(letter); }

const std::vector<std::wstring>& QueriedDriveRoots() { return State().queriedDriveRoots; }

}  // namespace sim

bool DriveHasVolume(const std::wstring& root) {
  const sim::MachineCall call;
  sim::State().queriedDriveRoots.push_back(root);
  return root.size() == 3 && root.substr(1) == L":\\" && sim::State().readyDrives.count(root[0]);
}
