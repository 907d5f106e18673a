// Ending the running copy of a program the way it is asked to end: WM_CLOSE
// to its own window, and only when that does not help, by force.
#pragma once

#include <cstdint>
#include <string>

// Posts WM_CLOSE with `wParam` to the window of class `className` whose
// process, other than this one, runs `image` (see ImageIs), every 250 ms
// until that process has ended; after 21 requests it is terminated, once its
// image has been checked again. Until such a window shows, any other process
// named like the image may be a copy that is still starting: it is waited
// for just as long; then, when `image` is a full path, the copies that run
// that very file are ended, while a bare name ends nothing, since nothing
// but the name would say what the process is.
void CloseRunningProgram(const std::wstring& className, const std::wstring& image,
                         std::uintptr_t wParam);
