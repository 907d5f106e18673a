// Resource numbers of the icons, shared by Vantrel.rc and the program, so
// only preprocessor definitions.
#pragma once

#define VANTREL_PROGRAM_ICON 1
// Tray images 0 (red), 1 (yellow) and 2 (green), each a whole ICO file.
#define VANTREL_TRAY_IMAGE_RED 101
#define VANTREL_TRAY_IMAGE_YELLOW 102
#define VANTREL_TRAY_IMAGE_GREEN 103
