// The Mixed Reality Portal's window: found by its frame window class and
// title, and minimised after the headset has started.
#pragma once

#include <string>

#include "companions/processes.h"

// The top-level window of class "ApplicationFrameWindow" with exactly this
// title; 0 when there is none.
WindowHandle FindAppFrameWindow(const std::wstring& title);

// Asks the window to minimise; true when it was visible before the call.
bool MinimizeWindow(WindowHandle window);
