#include <windows.h>
#include <richedit.h>

#include <gtest/gtest.h>

#include <string>

#include "base/win32_handles.h"
#include "base/event_log.h"
#include "ui/log_view.h"

namespace {

LRESULT CALLBACK TestWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == kLogGrewMessage) {
    ShowNewLogText();
    return 0;
  }
  return DefWindowProcW(window, message, wParam, lParam);
}

// The text as the control holds it: rich edit keeps a lone CR per line end.
std::wstring ViewText(HWND view) {
  GETTEXTLENGTHEX length{GTL_NUMCHARS | GTL_PRECISE, 1200};
  const LRESULT characters =
      SendMessageW(view, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&length), 0);
  std::wstring text(static_cast<size_t>(characters) + 1, L'\0');
  GETTEXTEX query{};
  query.cb = static_cast<DWORD>(text.size() * sizeof(wchar_t));
  query.flags = GT_DEFAULT;
  query.codepage = 1200;
  text.resize(static_cast<size_t>(SendMessageW(view, EM_GETTEXTEX, reinterpret_cast<WPARAM>(&query),
                                               reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

// The text through WM_GETTEXT, as another program reads it.
std::wstring WindowText(HWND view) {
  std::wstring text(static_cast<size_t>(GetWindowTextLengthW(view)) + 1, L'\0');
  text.resize(static_cast<size_t>(
      SendMessageW(view, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()))));
  return text;
}

std::wstring WithCrLf(const std::wstring& text) {
  std::wstring result;
  for (wchar_t c : text) result += c == L'\r' ? std::wstring(L"\r\n") : std::wstring(1, c);
  return result;
}

// Runs the window's messages until the view shows the whole log or the
// deadline passes.
bool PumpUntilViewShowsLog(HWND view, DWORD deadlineMs) {
  const ULONGLONG end = GetTickCount64() + deadlineMs;
  for (;;) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (ViewText(view) == LogText()) return true;
    if (GetTickCount64() >= end) return false;
    MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
  }
}

DWORD WINAPI LogManyLines(LPVOID first) {
  const int start = static_cast<int>(reinterpret_cast<INT_PTR>(first));
  for (int i = start; i < start + 300; ++i) {
    AddLogLine(L"worker line " + std::to_wstring(i), i % 2);
  }
  return 0;
}

class LogView : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!richEdit) richEdit = UniqueModule(LoadLibraryW(L"msftedit.dll"));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = TestWindowProc;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"LogViewTestWindow";
    RegisterClassW(&windowClass);
    window = CreateWindowExW(0, windowClass.lpszClassName, L"log view test", WS_OVERLAPPEDWINDOW, 0,
                             0, 480, 400, nullptr, nullptr, windowClass.hInstance, nullptr);
    view = CreateWindowExW(0, MSFTEDIT_CLASS, L"",
                           WS_CHILD | WS_VISIBLE | ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL, 1,
                           1, 438, 338, window, nullptr, windowClass.hInstance, nullptr);
    ASSERT_NE(view, nullptr);
  }
  void TearDown() override { DestroyWindow(window); }
  static UniqueModule richEdit;
  HWND window = nullptr;
  HWND view = nullptr;
};
UniqueModule LogView::richEdit;

TEST_F(LogView, ShowsTheLinesLoggedBeforeItWasAttached) {
  AddLogLine(L"Found Steam Path in Registry", 0);
  AddLogLine(L"Found no WMR Headset Registry Entry\r>>>>>>>>> Try to repair", 1);
  AttachLogView(view);
  EXPECT_EQ(ViewText(view), LogText());
  EXPECT_EQ(WindowText(view), WithCrLf(LogText()));  // what Wine 8 hands out
  EXPECT_NE(GetWindowLongW(view, GWL_STYLE) & ES_READONLY, 0);
  // Past rich edit's default limit of 32,767 characters the log still grows.
  EXPECT_GE(SendMessageW(view, EM_GETLIMITTEXT, 0, 0), 0x7FFFFFFE);
}

TEST_F(LogView, FollowsAWorkerWhileTheMainThreadRunsItsMessages) {
  AttachLogView(view);
  UniqueHandle worker(
      CreateThread(nullptr, 0, LogManyLines, reinterpret_cast<LPVOID>(1000), 0, nullptr));
  ASSERT_TRUE(worker);
  // The user clicks at the top of the view meanwhile; lines still go to the end.
  SendMessageW(view, EM_SETSEL, 0, 0);
  EXPECT_TRUE(PumpUntilViewShowsLog(view, 10000));
  EXPECT_EQ(WaitForSingleObject(worker.Get(), 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(PumpUntilViewShowsLog(view, 10000));
  EXPECT_NE(ViewText(view).find(L":!worker line 1299\r"), std::wstring::npos);
  EXPECT_NE(GetWindowLongW(view, GWL_STYLE) & ES_READONLY, 0);
}

TEST_F(LogView, AWorkerLogsWhileTheMainThreadWaitsForIt) {
  AttachLogView(view);
  // The main thread waits for the worker without running messages, as the
  // program does before it ends; the worker's lines must not wait for it.
  UniqueHandle worker(
      CreateThread(nullptr, 0, LogManyLines, reinterpret_cast<LPVOID>(2000), 0, nullptr));
  ASSERT_TRUE(worker);
  ASSERT_EQ(WaitForSingleObject(worker.Get(), 10000), WAIT_OBJECT_0);
  EXPECT_TRUE(PumpUntilViewShowsLog(view, 10000));
}

size_t Occurrences(const std::wstring& text, const std::wstring& part) {
  size_t count = 0;
  for (size_t at = text.find(part); at != std::wstring::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

TEST_F(LogView, AttachingAgainShowsTheLogOnceAndRepeatsStayOut) {
  AddLogLine(L"Found SteamVR", 0);
  AttachLogView(view);
  AttachLogView(view);
  AddLogLine(L"Found SteamVR", 1);
  // A later line shows only once every refresh before it has run.
  AddLogLine(L"WMR headset is now online", 0);
  ASSERT_TRUE(PumpUntilViewShowsLog(view, 10000));
  const std::wstring shown = ViewText(view);
  EXPECT_EQ(Occurrences(shown, L"Found SteamVR"), 1u) << shown;
  EXPECT_EQ(Occurrences(shown, L"WMR headset is now online"), 1u) << shown;
}

}  // namespace
