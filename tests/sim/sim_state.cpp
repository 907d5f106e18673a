#include "tests/sim/sim_state.h"

namespace sim {

MachineState& State() {
  static MachineState state;
  return state;
}

void Reset() { State() = MachineState{}; }

}  // namespace sim
