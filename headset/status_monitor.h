// The status monitor: what the tray icon, its tooltip and menu and the main
// window show for the headset and the companion programs, and the rule that
// lets the headset follow Steam. Both run in the main loop's status poll.
#pragma once

#include <cstdint>
#include <string>

#include "companions/processes.h"
#include "companions/services.h"
#include "headset/device_discovery.h"
#include "ui/tray.h"

// What one poll looks at.
struct StatusInputs {
  std::uint8_t discoveryState = kStateUnknown;
  std::uint8_t headsetState = kStateUnknown;
  std::wstring headsetName;
  bool steamVrMonitorRuns = false;
  bool oculusItemsExist = false;
  int oculusServiceState = kServiceUnknown;
};

TrayStatus DecideTrayStatus(const StatusInputs& inputs);

// Looks at the machine, with `processes` as the poll found them, and shows
// the decision.
void UpdateHeadsetStatus(const ProcessList& processes);

// Starts the headset on the first poll that sees Steam running while
// "StartHMDwithSteam" is on, and stops it on the first poll after that run
// of Steam has ended while "StopHMDwithSteam" is on.
void ApplySteamRule(const ProcessList& processes);

// Back to start-up: Steam not seen yet.
void ResetStatusMonitor();
