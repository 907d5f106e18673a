// Handing a link, a settings page or a file to the desktop's shell, which
// opens it at the user's normal level, not with Vantrel's rights.
#pragma once

#include <string>

enum class ShellOpen {
  kStarted,
  // No handler for the link's scheme, or no such file (a relative path
  // counts as none: the shell would resolve it against its own folder).
  kNothingToOpen,
  // No desktop shell took it over: nothing was started and the error
  // "Could not open <target> without administrator rights" was logged.
  kRefused,
};

// May take the desktop shell up to ten seconds to answer.
ShellOpen OpenShellLink(const std::wstring& target);
