// The program's main window: created hidden at start-up with its final title,
// so a second copy and the updater can find it by "Vantrel - V".
#pragma once

#include <string>

// Creates the window; false when the system refuses it.
bool CreateMainWindow(const std::wstring& title);
void ShowMainWindow();
void DestroyMainWindow();

// Pumps window messages until the window asks the program to end.
void RunMessageLoop();
