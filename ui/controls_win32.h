// The Windows side of the main window's controls: which window carries which
// control number, the window's DPI scale, and the messages that become
// control events. Windows only.
#pragma once

#include <windows.h>

#include "ui/loop_events.h"

// Number fields are an edit control carrying the field's number and an
// up-down control beside it carrying this offset added to it, so that the
// arrows never take a number of the walk over 10 to 47.
inline constexpr int kSpinIdOffset = 1000;

void RememberControl(int id, HWND control);
void RememberSpin(int fieldId, HWND spin);
// Puts each number field's arrows back inside the right edge of its field,
// at the layout's DPI, once the field has been placed anew.
void RealignSpins();
// nullptr when the window has no such control.
HWND ControlWindow(int id);

// The layout is drawn for 96 DPI; the window's own DPI scales it.
void SetLayoutDpi(UINT dpi);
UINT LayoutDpi();
int Scaled(int pixels);

// A click of a button or clickable label (WM_COMMAND) or a step of a
// number field's arrows (WM_VSCROLL); false for every other message.
bool ControlEventOf(UINT message, WPARAM wParam, LPARAM lParam, LoopEvent& event);
