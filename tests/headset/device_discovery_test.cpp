#include <gtest/gtest.h>

#include "headset/device_discovery.h"
#include "tests/headset/headset_fixture.h"
#include "tests/sim/sim_registry.h"

namespace {

constexpr wchar_t kNoDevice[] = L"Found no actual WMR Device in Registry";
constexpr wchar_t kNoSensors[] = L"Found no HoloLens Sensors Registry Entry";
constexpr wchar_t kNoHeadsetName[] =
    L"Found no WMR Headset Registry Entry\r>>>>>>>>> Try to repair";
constexpr wchar_t kEnumKey[] = L"SYSTEM\\CurrentControlSet\\Enum\\";

using DeviceDiscovery = HeadsetTest;

TEST_F(DeviceDiscovery, EverythingIsUnknownBeforeTheFirstPass) {
  EXPECT_EQ(DiscoveryState(), kStateUnknown);
  EXPECT_EQ(HeadsetState(), kStateUnknown);
  EXPECT_TRUE(HeadsetName().empty());
}

TEST_F(DeviceDiscovery, NeverConnectedEndsInStateFourWithOneLine) {
  Passes(5);
  EXPECT_EQ(DiscoveryState(), kDiscoveryNoDevice);
  EXPECT_EQ(HeadsetState(), kStateUnknown);
  EXPECT_EQ(Count(kNoDevice), 1);
  EXPECT_TRUE(Logged(kNoDevice, true));
}

TEST_F(DeviceDiscovery, HeadsetPluggedInIsFoundWithItsShortName) {
  const auto ids = sim::PlugInHeadset(L"7&1A2B&0&0003", L"  Acme Virtual Reality Headset ");
  Passes(3);
  EXPECT_EQ(DiscoveryState(), kDiscoveryFound);
  EXPECT_EQ(HeadsetName(), L"Acme");
  EXPECT_EQ(SensorDeviceId(), ids.sensors);
  EXPECT_EQ(HeadsetDeviceId(), ids.headset);
  EXPECT_EQ(SensorDeviceId(), L"USB\\VID_045E&PID_0659&MI_03\\7&1A2B&0&0003");
  EXPECT_EQ(Count(L"Acme found!"), 1);
  EXPECT_TRUE(Logged(L"Acme found!"));
}

TEST_F(DeviceDiscovery, EveryOccurrenceOfTheThreeWordsIsRemovedButOnlyWithItsBlank) {
  sim::PlugInHeadset(L"1", L"Virtual Reality Visor Headset Headset Realityline");
  RunDiscoveryPass();
  // Without its leading blank "Virtual" stays; " Realityline" loses " Reality".
  EXPECT_EQ(HeadsetName(), L"Virtual Visorline");
}

TEST_F(DeviceDiscovery, HeadsetStateFollowsBothNodes) {
  const auto ids = sim::PlugInHeadset(L"1", L"Acme", 0);
  RunDiscoveryPass();
  EXPECT_EQ(HeadsetState(), kHeadsetOnline);
  sim::SetDeviceNodeProblem(ids.headset, sim::kProblemDisabled);
  RunDiscoveryPass();
  EXPECT_EQ(HeadsetState(), kHeadsetOffline);
  sim::SetDeviceNodeProblem(ids.headset, 0);
  sim::SetDeviceNodeProblem(ids.sensors, sim::kProblemDisabled);
  RunDiscoveryPass();
  EXPECT_EQ(HeadsetState(), kHeadsetOffline);
}

TEST_F(DeviceDiscovery, FirstPresentInstanceIsTakenAndAbsentOnesSkipped) {
  // An older headset that is not plugged in is listed first.
  const auto old = sim::PlugInHeadset(L"1", L"Old");
  sim::UnplugHeadset(old);
  const auto current = sim::PlugInHeadset(L"2", L"New");
  RunDiscoveryPass();
  EXPECT_EQ(SensorDeviceId(), current.sensors);
  EXPECT_EQ(HeadsetName(), L"New");
}

TEST_F(DeviceDiscovery, NodeWithADriverFaultCountsAsAbsent) {
  sim::PlugInHeadset(L"1", L"Acme", 10);
  Passes(2);
  EXPECT_EQ(DiscoveryState(), kDiscoveryNoDevice);
  EXPECT_TRUE(SensorDeviceId().empty());
}

TEST_F(DeviceDiscovery, SensorsNodeWithAnotherNameIsStateOne) {
  sim::PlugInHeadset(L"1", L"Acme", 0, L"HoloLens sensors");  // the name is compared exactly
  Passes(3);
  EXPECT_EQ(DiscoveryState(), kDiscoveryNoSensorsName);
  EXPECT_EQ(Count(kNoSensors), 1);
  EXPECT_TRUE(Logged(kNoSensors, true));
  EXPECT_EQ(HeadsetState(), kStateUnknown);
}

TEST_F(DeviceDiscovery, HeadsetNodeWithoutNameIsStateTwoLoggedOnce) {
  sim::PlugInHeadset(L"1", L"");
  Passes(3);
  EXPECT_EQ(DiscoveryState(), kDiscoveryNoHeadsetName);
  EXPECT_EQ(Count(kNoHeadsetName), 1);
  EXPECT_TRUE(Logged(kNoHeadsetName, true));
}

TEST_F(DeviceDiscovery, NameOfOnlyBlanksCountsAsNoName) {
  sim::PlugInHeadset(L"1", L"   ");
  RunDiscoveryPass();
  EXPECT_EQ(DiscoveryState(), kDiscoveryNoHeadsetName);
}

TEST_F(DeviceDiscovery, UnplugClearsBothIdsAndReplugIsFoundAgain) {
  const auto ids = sim::PlugInHeadset(L"1", L"Acme Headset", 0);
  Passes(1);
  sim::UnplugHeadset(ids);
  Passes(1);
  EXPECT_EQ(DiscoveryState(), kDiscoveryNoDevice);
  EXPECT_TRUE(SensorDeviceId().empty());
  EXPECT_TRUE(HeadsetDeviceId().empty());
  // The online state stays what it last was while the headset is not found.
  EXPECT_EQ(HeadsetState(), kHeadsetOnline);
  Passes(2);
  EXPECT_EQ(Count(kNoDevice), 1);

  sim::SetDeviceNodePresent(ids.sensors, true);
  sim::SetDeviceNodePresent(ids.headset, true);
  Passes(2);
  EXPECT_EQ(DiscoveryState(), kDiscoveryFound);
  EXPECT_EQ(Count(L"Acme found!"), 2);
  const std::wstring log = Log();
  EXPECT_LT(log.find(L"Acme found!"), log.find(kNoDevice));
  EXPECT_LT(log.find(kNoDevice), log.rfind(L"Acme found!"));
}

TEST_F(DeviceDiscovery, HalfPluggedHeadsetIsFoundOnceItsSecondNodeAppears) {
  // The pass catches the headset while it is being plugged in.
  const auto ids = sim::PlugInHeadset(L"1", L"Acme");
  sim::SetDeviceNodePresent(ids.headset, false);
  Passes(1);
  EXPECT_EQ(DiscoveryState(), kDiscoveryNoDevice);
  EXPECT_EQ(SensorDeviceId(), ids.sensors);
  sim::SetDeviceNodePresent(ids.headset, true);
  Passes(1);
  EXPECT_EQ(DiscoveryState(), kDiscoveryFound);
  EXPECT_EQ(HeadsetDeviceId(), ids.headset);
  EXPECT_EQ(Count(L"Acme found!"), 1);
}

TEST_F(DeviceDiscovery, HeadsetNodeFirstIsFoundToo) {
  const auto ids = sim::PlugInHeadset(L"1", L"Acme");
  sim::SetDeviceNodePresent(ids.sensors, false);
  Passes(1);
  EXPECT_EQ(HeadsetDeviceId(), ids.headset);
  EXPECT_EQ(DiscoveryState(), kDiscoveryNoDevice);
  sim::SetDeviceNodePresent(ids.sensors, true);
  Passes(1);
  EXPECT_EQ(DiscoveryState(), kDiscoveryFound);
}

TEST_F(DeviceDiscovery, RenamedHeadsetIsPickedUpWithoutALine) {
  const auto ids = sim::PlugInHeadset(L"1", L"Acme");
  Passes(1);
  sim::PutRegString(kHkeyLocalMachine, kEnumKey + ids.headset, L"FriendlyName", L"Acme Pro");
  Passes(1);
  EXPECT_EQ(HeadsetName(), L"Acme Pro");
  EXPECT_EQ(Count(L"found!"), 1);
}

TEST_F(DeviceDiscovery, StatesMoveBetweenTheErrorsWithOneLineForEachChange) {
  const auto ids = sim::PlugInHeadset(L"1", L"");
  Passes(2);
  sim::PutRegString(kHkeyLocalMachine, kEnumKey + ids.sensors, L"FriendlyName", L"Other");
  Passes(2);
  sim::PutRegString(kHkeyLocalMachine, kEnumKey + ids.sensors, L"FriendlyName",
                    L"HoloLens Sensors");
  Passes(2);
  EXPECT_EQ(Count(kNoHeadsetName), 2);
  EXPECT_EQ(Count(kNoSensors), 1);
}

TEST_F(DeviceDiscovery, UnreadableRegistryMeansNoDevice) {
  sim::PlugInHeadset(L"1", L"Acme");
  sim::FailRegistryCalls(5);
  Passes(1);
  EXPECT_EQ(DiscoveryState(), kDiscoveryNoDevice);
  sim::FailRegistryCalls(0);
  Passes(1);
  EXPECT_EQ(DiscoveryState(), kDiscoveryFound);
}

}  // namespace
