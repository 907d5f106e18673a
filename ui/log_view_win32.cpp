#include "ui/log_view.h"

#include <richedit.h>

#include <atomic>
#include <string>

#include "base/event_log.h"

namespace {

// Rich edit's default limit is 32,767 characters, and it cuts every
// insertion, the program's own included, at that limit: the log would stop
// growing in the view after a few hundred lines.
constexpr LPARAM kViewTextLimit = 0x7FFFFFFE;

std::atomic<HWND> logView{nullptr};
std::atomic<HWND> refreshWindow{nullptr};  // the top-level window that refreshes the view
std::atomic<bool> refreshPosted{false};
size_t shownLength = 0;  // characters of the log already in the view; main thread only

LONG ViewLength(HWND view) {
  GETTEXTLENGTHEX query{GTL_NUMCHARS | GTL_PRECISE, 1200};
  return static_cast<LONG>(
      SendMessageW(view, EM_GETTEXTLENGTHEX, reinterpret_cast<WPARAM>(&query), 0));
}

void PutCaretAtEnd(HWND view) {
  // After an append the caret already sits at the end. Placing it by
  // character offset costs time that grows with the text, so it is done only
  // when the user has clicked or selected elsewhere.
  const LONG end = ViewLength(view);
  CHARRANGE selection{};
  SendMessageW(view, EM_EXGETSEL, 0, reinterpret_cast<LPARAM>(&selection));
  if (selection.cpMin == end && selection.cpMax == end) return;
  CHARRANGE atEnd{end, end};
  SendMessageW(view, EM_EXSETSEL, 0, reinterpret_cast<LPARAM>(&atEnd));
}

void AppendToView(HWND view, const std::wstring& text) {
  PutCaretAtEnd(view);
  // A read-only rich edit may refuse replacements, even the program's own;
  // the user cannot type in between, as this runs on the view's own thread.
  SendMessageW(view, EM_SETREADONLY, FALSE, 0);
  SendMessageW(view, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.c_str()));
  SendMessageW(view, EM_SETREADONLY, TRUE, 0);
}

}  // namespace

void LogChanged() {
  HWND window = refreshWindow;
  if (!window) return;
  // One posted refresh covers every line logged until it runs. PostMessage
  // never waits for the main thread, which may itself wait for a worker.
  if (refreshPosted.exchange(true)) return;
  // A full queue or a window already destroyed refuses the message; the next
  // line then tries again and its refresh brings the missed text along.
  if (!PostMessageW(window, kLogGrewMessage, 0, 0)) refreshPosted = false;
}

void AttachLogView(HWND view) {
  SendMessageW(view, EM_EXLIMITTEXT, 0, kViewTextLimit);
  SendMessageW(view, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(L""));
  shownLength = 0;
  logView = view;
  refreshWindow = GetAncestor(view, GA_ROOT);
  ShowNewLogText();
}

void ShowNewLogText() {
  HWND view = logView;
  if (!view) return;
  // Cleared before the log is read: a line logged after the read posts a
  // refresh of its own.
  refreshPosted = false;
  const std::wstring added = LogTextFrom(shownLength);
  if (added.empty()) return;
  AppendToView(view, added);
  shownLength += added.size();
}
