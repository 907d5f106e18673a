// Handing a link, a settings page or a file to the desktop's shell, which
// opens it at the user's normal level, not with Vantrel's rights.
#pragma once

#include <string>

// False when there is no handler for it or the file does not exist, and
// when no desktop shell takes it over: then nothing is started and the
// error "Could not open <target> without administrator rights" is logged.
// May take the desktop shell up to ten seconds to answer.
bool OpenShellLink(const std::wstring& target);
