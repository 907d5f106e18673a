// Telling a link from a file path.
#pragma once

#include <string>

// The URL scheme `target` starts with ("steam" for "steam://...",
// "ms-settings" for "ms-settings:holographic"), or "" for a path. A scheme
// has at least two characters, so "C:\..." is a path on drive C.
std::wstring LinkScheme(const std::wstring& target);

// Whether `path` names one file wherever it is resolved: "X:\..." or a
// "\\server\share\..." path. "\dir\file" depends on the current drive and
// "C:file" on the current folder of drive C, as a bare name does on the
// current folder: another process would resolve them elsewhere.
bool IsFullPath(const std::wstring& path);
