#include "ui/log_view.h"

#include <richedit.h>

#include <atomic>
#include <string>

#include "ui/event_log.h"

namespace {

std::atomic<HWND> logView{nullptr};
std::atomic<bool> refreshPosted{false};
size_t shownLength = 0;  // characters of the log already in the view

LONG ViewLength(HWND view) {
  GETTEXTLENGTHEX query{GTL_NUMCHARS | GTL_PRECISE, 1200};
  return static_cast<LONG>(
      SendMessageW(view, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
}

void AppendToView(HWND view, const std::wstring& text) {
  const LONG end = ViewLength(view);
  CHARRANGE atEnd{end, end};
  SendMessageW(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&atEnd));
  // A read-only rich edit refuses replacements, even the program's own.
  SendMessageW(view, EM_SETREADONLY, FALSE, 0);
  SendMessageW(view, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(view, EM_SETREADONLY, TRUE, 0);
}

}  // namespace

void LogChanged() {
  HWND view = logView;
  if (!view) return;
  // One posted refresh covers every line logged until it runs; PostMessage
  // never waits for the main thread, which may itself wait for a worker.
  if (!refreshPosted.exchange(true))
    PostMessageW(GetAncestor(view, GA_ROOT), kLogGrewMessage, 0, 0);
}

void AttachLogView(HWND view) {
  shownLength = 0;
  logView = view;
  ShowNewLogText();
}

void ShowNewLogText() {
  HWND view = logView;
  if (!view) return;
  refreshPosted = false;
  const std::wstring added = LogTextFrom(shownLength);
  if (added.empty()) return;
  AppendToView(view, added);
  shownLength += added.size();
}
