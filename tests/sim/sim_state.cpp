#include "tests/sim/sim_state.h"

#include <mutex>

#if defined(__SANITIZE_THREAD__)
#define SIM_UNDER_TSAN 1
#elif defined(__has_feature)
#if __has_feature(thread_sanitizer)
#define SIM_UNDER_TSAN 1
#endif
#endif

#ifdef SIM_UNDER_TSAN
extern "C" {
void AnnotateIgnoreReadsBegin(const char* file, int line);
void AnnotateIgnoreReadsEnd(const char* file, int line);
void AnnotateIgnoreWritesBegin(const char* file, int line);
void AnnotateIgnoreWritesEnd(const char* file, int line);
void AnnotateIgnoreSyncBegin(const char* file, int line);
void AnnotateIgnoreSyncEnd(const char* file, int line);
}
#endif

namespace {

std::recursive_mutex machineLock;

void LookAway() {
#ifdef SIM_UNDER_TSAN
  AnnotateIgnoreSyncBegin(__FILE__, __LINE__);
  AnnotateIgnoreReadsBegin(__FILE__, __LINE__);
  AnnotateIgnoreWritesBegin(__FILE__, __LINE__);
#endif
}

void LookAgain() {
#ifdef SIM_UNDER_TSAN
  AnnotateIgnoreWritesEnd(__FILE__, __LINE__);
  AnnotateIgnoreReadsEnd(__FILE__, __LINE__);
  AnnotateIgnoreSyncEnd(__FILE__, __LINE__);
#endif
}

}  // namespace

namespace sim {

MachineCall::MachineCall() {
  LookAway();
  machineLock.lock();
}

MachineCall::~MachineCall() {
  machineLock.unlock();
  LookAgain();
}

MachineState& State() {
  static MachineState state;
  return state;
}

void Reset() { State() = MachineState{}; }

const PlatformCalls& CountedCalls() { return State().calls; }

}  // namespace sim
