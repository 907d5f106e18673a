// The program's main window: created hidden at start-up with its final title,
// so a second copy and the updater can find it by "Vantrel - V".
#pragma once

#include <string>

#include "ui/loop_events.h"

// Creates the window; false when the system refuses it.
bool CreateMainWindow(const std::wstring& title);
void DestroyMainWindow();

// Shows the window in its normal state, brought back from hidden.
void ShowMainWindow();
// Minimises, then hides: the program stays in the tray.
void HideMainWindowToTray();

// The oldest window event not yet taken by the main loop.
bool TakeWindowEvent(LoopEvent& event);
