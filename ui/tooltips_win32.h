// Explanatory tooltips on the controls whose labels end in "*". Windows
// only.
#pragma once

#include <windows.h>

#include <string>

// One tooltip window per control, owned by `window`; a carriage return in
// `text` starts a new line.
void AddToolTip(HWND window, HWND control, const std::wstring& text);
