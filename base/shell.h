// Handing a link, a settings page or a file to the Windows shell.
#pragma once

#include <string>

// False when the shell has no handler for it or the file does not exist.
bool OpenShellLink(const std::wstring& target);
