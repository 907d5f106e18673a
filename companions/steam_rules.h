// How Steam's own files name its library folders. Pure text rules, shared by
// the discovery on Windows and its tests.
#pragma once

#include <string>
#include <vector>

// The library folders that "config.vdf" lists under the keys
// "BaseInstallFolder_1" to "BaseInstallFolder_20", in key order. A key whose
// line is malformed gives an empty entry, so the entries still follow the
// keys that were found.
std::vector<std::wstring> ConfigLibraryFolders(const std::string& configBytes);

// The "path" of every library in "steamapps\libraryfolders.vdf", where
// Steam has kept its library list since it stopped writing it to
// "config.vdf".
std::vector<std::wstring> LibraryFoldersVdfPaths(const std::string& vdfBytes);

// Appends the entries of `more` that `list` does not hold yet. Windows paths
// ignore case and take either slash, and a trailing one changes nothing.
void AppendNewFolders(std::vector<std::wstring>& list, const std::vector<std::wstring>& more);

// Steam writes its files in UTF-8; a file saved in another encoding is read
// byte for byte instead, so a path is never lost to replacement characters.
std::wstring SteamFileText(const std::string& bytes);
