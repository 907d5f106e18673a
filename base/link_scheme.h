// Telling a link from a file path.
#pragma once

#include <string>

// The URL scheme `target` starts with ("steam" for "steam://...",
// "ms-settings" for "ms-settings:holographic"), or "" for a path. A scheme
// has at least two characters, so "C:\..." is a path on drive C.
std::wstring LinkScheme(const std::wstring& target);
