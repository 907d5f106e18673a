// The service operations against a real service, installed with the
// system's own "sc" into the test prefix.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>

#include "base/win32_handles.h"
#include "companions/services.h"

namespace {

constexpr wchar_t kTestService[] = L"VantrelTestService";
constexpr DWORD kTimeoutMs = 20000;

std::wstring OwnFolder() {
  wchar_t path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
  std::wstring folder(path, length);
  return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// Runs "sc" with `arguments` and waits for it; its exit code.
DWORD RunSc(const std::wstring& arguments) {
  std::wstring commandLine = L"sc.exe " + arguments;
  STARTUPINFOW startup{};
  startup.cb = sizeof(startup);
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                      nullptr, nullptr, &startup, &info)) {
    return static_cast<DWORD>(-1);
  }
  UniqueHandle process(info.hProcess);
  UniqueHandle thread(info.hThread);
  WaitForSingleObject(process.Get(), kTimeoutMs);
  DWORD code = 0;
  GetExitCodeProcess(process.Get(), &code);
  return code;
}

bool WaitForState(int state) {
  const ULONGLONG deadline = GetTickCount64() + kTimeoutMs;
  while (ServiceState(kTestService) != state) {
    if (GetTickCount64() >= deadline) return false;
    Sleep(20);
  }
  return true;
}

class Services : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    RunSc(std::wstring(L"delete ") + kTestService);
    const std::wstring binary = OwnFolder() + L"test_service.exe";
    ASSERT_EQ(RunSc(std::wstring(L"create ") + kTestService + L" binPath= \"" + binary +
                    L"\" start= demand"),
              0u);
  }
  static void TearDownTestSuite() {
    StopServiceWithDependents(kTestService);
    WaitForState(kServiceStopped);
    RunSc(std::wstring(L"delete ") + kTestService);
  }
  void SetUp() override {
    StopServiceWithDependents(kTestService);
    ASSERT_TRUE(WaitForState(kServiceStopped));
  }
};

TEST_F(Services, UnknownServiceCannotBeQueriedStartedOrStopped) {
  EXPECT_EQ(ServiceState(L"VantrelNoSuchService"), kServiceUnknown);
  EXPECT_EQ(StartServiceByName(L"VantrelNoSuchService"), 0);
  EXPECT_EQ(StopServiceWithDependents(L"VantrelNoSuchService"), 0);
}

TEST_F(Services, InstalledServiceReportsStopped) {
  EXPECT_EQ(ServiceState(kTestService), kServiceStopped);
}

TEST_F(Services, StartedServiceRunsAndStartingItAgainCountsAsStarted) {
  EXPECT_NE(StartServiceByName(kTestService), 0);
  ASSERT_TRUE(WaitForState(kServiceRunning));
  EXPECT_EQ(StartServiceByName(kTestService), 1);
  EXPECT_EQ(ServiceState(kTestService), kServiceRunning);
}

TEST_F(Services, RunningServiceIsStoppedAndStoppingItAgainCountsAsStopped) {
  ASSERT_NE(StartServiceByName(kTestService), 0);
  ASSERT_TRUE(WaitForState(kServiceRunning));
  EXPECT_NE(StopServiceWithDependents(kTestService), 0);
  ASSERT_TRUE(WaitForState(kServiceStopped));
  EXPECT_EQ(StopServiceWithDependents(kTestService), 1);
}

TEST_F(Services, DependantsOfAStoppedServiceListAsNone) {
  const ServiceHandle manager = OpenServiceControlManager(kManagerControl);
  ASSERT_NE(manager, 0u);
  const ServiceHandle service = OpenNamedService(
      manager, kTestService, kServiceStop | kServiceEnumerateDependents | kServiceQueryStatus);
  ASSERT_NE(service, 0u);
  std::vector<std::wstring> names = {L"left over"};
  EXPECT_TRUE(ActiveDependentServices(service, names));
  EXPECT_TRUE(names.empty());
  CloseServiceControl(service);
  CloseServiceControl(manager);
}

}  // namespace
