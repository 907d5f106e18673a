// The one slot for the headset worker thread: a new worker starts only when
// the previous one has finished, and the program does not end before it has.
#pragma once

using WorkerJob = void (*)();

// How long the program's end waits for a running worker: longer than any
// start or stop takes, short of Windows' own patience at shutdown.
inline constexpr unsigned kWorkerEndWaitSeconds = 40;

bool WorkerRunning();

// Waits up to `milliseconds` for a running worker to end; true when none
// runs any more.
bool WaitForWorkerEnd(unsigned milliseconds);

// Starts `job` on a thread of its own; false when a worker still runs or the
// thread cannot be created.
bool StartWorker(WorkerJob job);
