// The headset start and stop sequences, each run as the program's one
// headset worker: the device nodes switched in order, with the companion
// programs brought along.
#pragma once

void HeadsetStart();
void HeadsetStop();
