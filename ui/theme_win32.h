// The Windows side of the theme: colours kept on the controls as window
// properties, which the main window hands out when a control asks its parent
// for colours (WM_CTLCOLORSTATIC). Windows only.
#pragma once

#include <windows.h>

#include "ui/theme.h"

// A solid brush of `color`, made once and kept until the program ends.
HBRUSH SolidBrush(Color color);

// The text colour goes into the control's "fgc" property and a brush of the
// background into "bgc"; then the control's visual style is switched off,
// without which a themed check box ignores both.
void SetStaticColors(HWND control, Color text, Color background);

// Draws the control in the classic style; without uxtheme it stays themed.
void SwitchOffVisualStyle(HWND control);

// Colours every control of the main window for dark mode; dark mode only.
void ApplyDarkTheme();

// The event loop took window messages from its queue; the cursor may have
// moved onto the program's windows.
void NoteWindowMessagesTaken();
