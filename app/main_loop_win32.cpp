#include <windows.h>

#include "ui/loop_events.h"
#include "ui/main_window.h"
#include "ui/theme_win32.h"

namespace {

void DispatchWaitingMessages() {
  MSG message{};
  bool taken = false;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
    taken = true;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  if (taken) NoteWindowMessagesTaken();
}

}  // namespace

LoopEvent WaitForLoopEvent(unsigned timeoutMs) {
  LoopEvent event;
  if (TakeWindowEvent(event)) return event;
  // Wakes early for any input or posted message; the window procedure turns
  // the ones the loop cares about into events.
  MsgWaitForMultipleObjectsEx(0, nullptr, timeoutMs, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  DispatchWaitingMessages();
  TakeWindowEvent(event);
  return event;
}
