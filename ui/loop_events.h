// The events the main loop receives from the window layer.
#pragma once

enum LoopEventNumber : int {
  kNoEvent = 0,
  kControlEvent = 13100,      // item: control number, detail: event type
  kMenuEvent = 13101,         // item: tray menu item
  kTrayEvent = 13102,         // detail: click type
  kCloseButtonEvent = 13116,  // the close button, or WM_CLOSE from elsewhere
  kTrayReAddEvent = 65536,    // a new taskbar: the tray icon is added again
};

struct LoopEvent {
  int number = kNoEvent;
  int item = 0;
  int detail = 0;
};
