// The program's own light and dark look: decided once at start-up, before
// any window exists, and fixed until the program ends.
#pragma once

#include <cstdint>

#include "base/settings.h"

// A Windows COLORREF: 0x00BBGGRR.
using Color = std::uint32_t;
constexpr Color Rgb(int red, int green, int blue) {
  return static_cast<Color>(red) | static_cast<Color>(green) << 8 | static_cast<Color>(blue) << 16;
}

// The backgrounds of the clickable labels, by mode.
struct ThemeColors {
  Color normal;
  Color hover;
  Color selected;
};

inline constexpr Color kDarkText = Rgb(0xFF, 0xFF, 0xFF);
inline constexpr Color kDarkControlBackground = Rgb(0x2F, 0x31, 0x36);
inline constexpr Color kDarkRichTextBackground = Rgb(0x20, 0x22, 0x25);

// Reads "AppsUseLightTheme" when the setting asks for the automatic choice:
// only a REG_DWORD 0 there means dark. Sets the mode and the label colours.
void DecideDarkMode(std::uint8_t darkModeSetting);
bool DarkModeOn();
const ThemeColors& LabelColors();
// The main window's background.
Color WindowBackground();

// What a clickable label looks like at this moment.
struct LabelSituation {
  bool underCursor = false;
  bool enabled = true;
  bool buttonHeld = false;  // the left button is down on the window
  bool selected = false;    // the label of the visible page
};
Color LabelBackground(const LabelSituation& situation, const ThemeColors& colors);

// Set while the left mouse button is down on the main window itself.
void NoteLeftButtonHeld(bool held);
bool LeftButtonHeld();

// Recolours the clickable labels for hover, press and selection; a label
// whose colour is already right is left alone, so nothing repaints while
// the mouse stands still. Runs at every pass of an event loop, and looks at
// the labels only when the cursor, the window, the held button, the
// selection or a label's enabled state changed since its last look.
void UpdateHoverColors();
// A label was enabled or disabled; the next UpdateHoverColors looks again.
void NoteLabelEnabledChanged();

// Machine seams of the clickable labels (identifiers 0 to 9).

// Where the cursor and the main window are, in screen coordinates.
struct HoverView {
  int cursorX = 0;
  int cursorY = 0;
  int windowLeft = 0;
  int windowTop = 0;
  int windowRight = 0;
  int windowBottom = 0;
  bool windowShown = false;
  bool operator==(const HoverView&) const = default;
};
HoverView ReadHoverView();

// False when `id` is not an existing clickable label of the window; the
// button state is not filled in.
bool ReadLabelSituation(int id, LabelSituation& situation);
Color LabelBackgroundOf(int id);
// Sets the background and repaints the label.
void SetLabelBackground(int id, Color color);
