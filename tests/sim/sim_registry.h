// The simulated registry: keys and values in memory, reached through the
// same operations and rules as the real one.
#pragma once

#include <string>

#include "winsettings/registry.h"

namespace sim {

// Makes every registry call fail with `code` (0: calls work again).
void FailRegistryCalls(int code);

}  // namespace sim
