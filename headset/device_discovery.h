// Device discovery: a thread of its own finds the headset's two USB device
// nodes in the device enumeration tree and keeps watching them, publishing
// what it finds for the main thread and the headset worker.
#pragma once

#include <cstdint>
#include <string>

// DiscoveryState values; 255 until the first pass has ended. Readers take
// only 0 as found and 1 to 4 as not found.
inline constexpr std::uint8_t kDiscoveryFound = 0;
inline constexpr std::uint8_t kDiscoveryNoSensorsName = 1;
inline constexpr std::uint8_t kDiscoveryNoHeadsetName = 2;
inline constexpr std::uint8_t kDiscoveryNoDevice = 4;
inline constexpr std::uint8_t kStateUnknown = 255;

// HeadsetState values, besides kStateUnknown.
inline constexpr std::uint8_t kHeadsetOffline = 0;
inline constexpr std::uint8_t kHeadsetOnline = 1;

// The published headset state; safe to read from any thread.
std::uint8_t DiscoveryState();
std::uint8_t HeadsetState();
std::wstring HeadsetName();
std::wstring SensorDeviceId();
std::wstring HeadsetDeviceId();

// Starts the device search thread; it runs until the process ends.
void StartDeviceSearch();

// One pass of the search: looks at the nodes, publishes and logs changes.
void RunDiscoveryPass();
// The device search thread's body: a pass every 2000 ms, for ever.
[[noreturn]] void RunDeviceSearch();

// Back to the state at start-up (everything unknown and empty).
void ResetDiscovery();
