// Measures what one log line costs the program, the append to the log and
// the refresh of the real rich-edit view, early on (around line 1,000) and
// late (around line 20,000). For comparison it also times putting the whole
// text into the view once, as a refresh that replaces everything would.
#include <windows.h>
#include <richedit.h>

#include <cstdio>
#include <string>

#include "base/event_log.h"
#include "ui/log_view.h"

namespace {

constexpr int kLines = 20000;
constexpr int kSample = 200;  // lines timed around each mark

double Seconds() {
  static LARGE_INTEGER frequency = [] {
    LARGE_INTEGER f;
    QueryPerformanceFrequency(&f);
    return f;
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void LogOneLine(int number) {
  AddLogLine(L"Benchmark line " + std::to_wstring(number) + L" of the event log", number % 2);
  // The refresh the main window would run on the posted message.
  MSG message;
  while (PeekMessageW(&message, nullptr, kLogGrewMessage, kLogGrewMessage, PM_REMOVE)) {
  }
  ShowNewLogText();
}

double MicrosecondsPerLine(int& number, int count) {
  const double start = Seconds();
  for (int i = 0; i < count; ++i) LogOneLine(++number);
  return (Seconds() - start) * 1e6 / count;
}

// The control's text with its lone CR line ends, as the log has them.
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

double MicrosecondsForWholeText(HWND view) {
  const std::wstring text = LogText();
  const double start = Seconds();
  SetWindowTextW(view, text.c_str());
  return (Seconds() - start) * 1e6;
}

}  // namespace

int main() {
  LoadLibraryW(L"msftedit.dll");
  HWND window = CreateWindowExW(0, L"STATIC", L"log benchmark", WS_OVERLAPPEDWINDOW, 0, 0, 480, 400,
                                nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
  HWND view = CreateWindowExW(0, MSFTEDIT_CLASS, L"",
                              WS_CHILD | WS_VISIBLE | WS_VSCROLL | ES_MULTILINE | ES_READONLY, 1, 1,
                              438, 338, window, nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!view) {
    std::printf("cannot create the rich-edit view\n");
    return 1;
  }
  AttachLogView(view);
  int number = 0;
  while (number < 1000 - kSample / 2) LogOneLine(++number);
  const double early = MicrosecondsPerLine(number, kSample);
  const double wholeEarly = MicrosecondsForWholeText(view);
  while (number < kLines - kSample) LogOneLine(++number);
  const double late = MicrosecondsPerLine(number, kSample);
  const bool complete = ViewText(view) == LogText();
  std::printf("view holds exactly the log: %s\n", complete ? "yes" : "NO");
  std::printf("per line around 1000 lines: %.1f us\n", early);
  std::printf("per line around %d lines: %.1f us\n", kLines, late);
  std::printf("ratio: %.2f (goal: at most 2)\n", late / early);
  // Only measured early: at 20,000 lines one whole-text refresh takes minutes.
  std::printf("whole-text refresh instead: %.0f us at 1000 lines\n", wholeEarly);
  return complete && late / early <= 2.0 ? 0 : 3;
}
