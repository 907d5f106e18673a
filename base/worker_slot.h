// The one slot for the headset worker thread: a new worker starts only when
// the previous one has finished, and the program does not end before it has.
#pragma once

using WorkerJob = void (*)();

bool WorkerRunning();

// Starts `job` on a thread of its own; false when a worker still runs or the
// thread cannot be created.
bool StartWorker(WorkerJob job);
