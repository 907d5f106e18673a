// The global hotkey that opens the tray menu, the names of the keys shown for
// the chosen one, and the small window that captures a key.
#pragma once

#include <cstdint>
#include <string>

// Hotkey 1 of the main window, registered afresh from the settings:
// "UseMenuHotkey", the three modifier keys and "UseKeyHotkey". Holding the
// combination down fires once. When another program holds the combination
// there is simply no hotkey until the next change.
void RegisterMenuHotkey();

// Names every virtual-key code in the keyboard layout the program started
// with; called once at start-up.
void BuildKeyNameTable();

// Opens the "Set Hotkey" window and waits for one key. 1 when a key was
// chosen ("UseKeyHotkey" then holds it), 0 when the user aborted with Esc.
int CaptureHotkeyKey();

// The key-name table entry for a virtual-key code, 0 to 256; empty for a
// code without a name or outside the table.
const std::wstring& KeyName(std::int64_t code);

// What the "Key" label shows, as text and tooltip: the chosen key's name,
// or "Key" while none is chosen.
std::wstring HotkeyLabelText();

// Machine seams.

inline constexpr unsigned kHotkeyAlt = 0x0001;
inline constexpr unsigned kHotkeyControl = 0x0002;
inline constexpr unsigned kHotkeyShift = 0x0004;
inline constexpr unsigned kHotkeyNoRepeat = 0x4000;

// Hotkey 1 of the main window; unregistering when none is registered is
// harmless. False when the system refuses the combination.
void UnregisterMainWindowHotkey();
bool RegisterMainWindowHotkey(unsigned modifiers, int virtualKey);

// The key names come from the thread's keyboard layout, made the process's
// layout between these two calls.
void BeginKeyNameLookup();
void EndKeyNameLookup();
// The key's scan code in that layout; 0 when it has none.
unsigned KeyScanCode(int virtualKey);
// The layout's name for the key that `keyData` describes in the form of a
// key message's lParam (scan code in bits 16 to 23, extended flag in bit 24);
// empty when the layout has none.
std::wstring KeyNameText(std::int32_t keyData);

// The capture window: while it is open the main window is disabled. False
// when it cannot be created, in which case nothing changed.
bool OpenCaptureWindow();
// The virtual-key code of the next key pressed in the capture window; -1
// when the window went away or the program is asked to quit.
int NextCaptureKey();
// Closes the window and gives the main window back its input and focus.
void CloseCaptureWindow();
