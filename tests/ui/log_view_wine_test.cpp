#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "ui/event_log.h"
#include "ui/log_view.h"

namespace {

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kLogGrewMessage) {
    ShowNewLogText();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring ViewText(HWND view) {
  std::wstring text(GetWindowTextLengthW(view) + 1, L'\0');
  text.resize(GetWindowTextW(view, text.data(), static_cast<int>(text.size())));
  return text;
}

void PumpMessages() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
}

DWORD WINAPI LogFromWorker(LPVOID) {
  AddLogLine(L"WMR headset is now offline", 0);
  return 0;
}

TEST(LogViewWine, ShowsEarlierLinesAndWorkerLinesWithoutBlockingTheWorker) {
  LoadLibraryW(L"msftedit.dll");
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = TestWindowProc;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"LogViewTestWindow";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, windowClass.lpszClassName, L"log view test", WS_OVERLAPPEDWINDOW,
                                0, 0, 480, 400, nullptr, nullptr, windowClass.hInstance, nullptr);
  HWND view = CreateWindowExW(0, MSFTEDIT_CLASS, L"", WS_CHILD | ES_MULTILINE | ES_READONLY, 1, 1,
                              438, 338, window, nullptr, windowClass.hInstance, nullptr);
  ASSERT_NE(view, nullptr);

  AddLogLine(L"Found SteamVR", 0);  // before there is a view
  AttachLogView(view);
  EXPECT_NE(ViewText(view).find(L": Found SteamVR"), std::wstring::npos);

  // The main thread waits for the worker, as a shutdown does; the worker's
  // log line must not wait for the main thread in turn.
  HANDLE worker = CreateThread(nullptr, 0, LogFromWorker, nullptr, 0, nullptr);
  EXPECT_EQ(WaitForSingleObject(worker, 5000), WAIT_OBJECT_0);
  CloseHandle(worker);
  PumpMessages();
  const std::wstring shown = ViewText(view);
  EXPECT_LT(shown.find(L": Found SteamVR"), shown.find(L": WMR headset is now offline"));

  SendMessageW(view, EM_SETSEL, 0, 0);  // the user clicked at the top
  AddLogLine(L"Found SteamVR", 1);
  PumpMessages();
  // The new line still goes to the end, whatever the control calls a line end.
  const std::wstring after = ViewText(view);
  const size_t last = after.rfind(L":!Found SteamVR");
  ASSERT_NE(last, std::wstring::npos);
  EXPECT_EQ(after.find_first_not_of(L"\r\n", last + 15), std::wstring::npos);
  DestroyWindow(window);
}

}  // namespace
