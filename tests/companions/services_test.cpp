#include <gtest/gtest.h>

#include "companions/services.h"
#include "tests/sim/sim.h"

namespace {

class Services : public ::testing::Test {
 protected:
  void SetUp() override { sim::Reset(); }
  void TearDown() override { EXPECT_EQ(sim::OpenServiceHandles(), 0); }

  static std::vector<std::wstring> StopOrder() {
    std::vector<std::wstring> names;
    for (const sim::ServiceRequest& request : sim::ServiceRequests()) {
      if (request.stop) names.push_back(request.name);
    }
    return names;
  }
};

TEST_F(Services, StateIsTheManagersOrZeroWhenItCannotBeQueried) {
  EXPECT_EQ(ServiceState(L"OVRService"), kServiceUnknown);
  sim::InstallService(L"OVRService", kServiceRunning);
  EXPECT_EQ(ServiceState(L"OVRService"), kServiceRunning);
  EXPECT_EQ(ServiceState(L"ovrservice"), kServiceRunning);
  sim::RefuseServiceManager();
  EXPECT_EQ(ServiceState(L"OVRService"), kServiceUnknown);
}

TEST_F(Services, StartingAStoppedServiceDoesNotWaitForIt) {
  sim::InstallService(L"OVRService", kServiceStopped);
  sim::SetServiceReactionMs(1000);
  EXPECT_NE(StartServiceByName(L"OVRService"), 0);
  EXPECT_EQ(ServiceState(L"OVRService"), 2);  // start pending
  sim::AdvanceMs(1000);
  EXPECT_EQ(ServiceState(L"OVRService"), kServiceRunning);
}

TEST_F(Services, StartingARunningServiceCountsAsStarted) {
  sim::InstallService(L"OVRService", kServiceRunning);
  EXPECT_EQ(StartServiceByName(L"OVRService"), 1);
  EXPECT_TRUE(sim::ServiceRequests().empty());
}

TEST_F(Services, MissingServiceCanBeNeitherStartedNorStopped) {
  EXPECT_EQ(StartServiceByName(L"OVRService"), 0);
  EXPECT_EQ(StopServiceWithDependents(L"OVRService"), 0);
  sim::InstallService(L"OVRService", kServiceRunning);
  sim::RefuseServiceManager();
  EXPECT_EQ(StopServiceWithDependents(L"OVRService"), 0);
  EXPECT_EQ(ServiceState(L"OVRService"), kServiceUnknown);
}

TEST_F(Services, StoppingAStoppedServiceCountsAsStopped) {
  sim::InstallService(L"OVRService", kServiceStopped);
  EXPECT_EQ(StopServiceWithDependents(L"OVRService"), 1);
}

TEST_F(Services, StopRefusedForAnotherReasonFails) {
  sim::InstallService(L"OVRService", kServiceRunning);
  sim::RefuseServiceStop(L"OVRService");
  EXPECT_EQ(StopServiceWithDependents(L"OVRService"), 0);
  EXPECT_EQ(StopOrder(), std::vector<std::wstring>{L"OVRService"});
}

TEST_F(Services, RunningDependantsAreStoppedFirstLastListedFirst) {
  sim::InstallService(L"OVRService", kServiceRunning, {L"First", L"Idle", L"Second", L"Third"});
  sim::InstallService(L"First", kServiceRunning);
  sim::InstallService(L"Idle", kServiceStopped);
  sim::InstallService(L"Second", kServiceRunning);
  sim::InstallService(L"Third", kServiceRunning);
  EXPECT_EQ(StopServiceWithDependents(L"OVRService"), 1);
  const std::vector<std::wstring> expected = {L"OVRService", L"Third", L"Second", L"First",
                                              L"OVRService"};
  EXPECT_EQ(StopOrder(), expected);
  for (const wchar_t* name : {L"OVRService", L"First", L"Second", L"Third"}) {
    EXPECT_EQ(sim::ServiceStateOf(name), kServiceStopped) << name;
  }
}

TEST_F(Services, DependantStillStoppingMakesTheSecondStopFail) {
  sim::InstallService(L"OVRService", kServiceRunning, {L"Dependant"});
  sim::InstallService(L"Dependant", kServiceRunning);
  sim::SetServiceReactionMs(500);
  EXPECT_EQ(StopServiceWithDependents(L"OVRService"), 0);
  EXPECT_EQ(StopOrder(), (std::vector<std::wstring>{L"OVRService", L"Dependant", L"OVRService"}));
  sim::AdvanceMs(500);
  EXPECT_EQ(sim::ServiceStateOf(L"Dependant"), kServiceStopped);
  EXPECT_EQ(sim::ServiceStateOf(L"OVRService"), kServiceRunning);
}

}  // namespace
