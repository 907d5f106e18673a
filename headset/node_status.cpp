#include "headset/config_manager.h"

namespace {
// CM_PROB_DISABLED: the node is there and was switched off.
constexpr unsigned kProblemDisabled = 22;
}  // namespace

int NodeStatusFromProblem(unsigned problem) {
  if (problem == 0) return kNodeRunning;
  return problem == kProblemDisabled ? kNodeDisabled : kNodeMissing;
}
