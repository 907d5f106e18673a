// The headset start and stop sequences, each run as the program's one
// headset worker: the device nodes switched in order, with the companion
// programs brought along.
#pragma once

void HeadsetStart();
void HeadsetStop();

// Starts the stop sequence as the headset worker (the slot must be free),
// with the tray's headset items and "Exit" disabled while it runs; false
// when it could not be started.
bool StartHeadsetStop();
