#include "base/event_log.h"

#include <mutex>

#include "base/clock.h"

namespace {

std::mutex logLock;
std::wstring logText;

void AppendTwoDigits(std::wstring& text, int value) {
  text += static_cast<wchar_t>(L'0' + value / 10);
  text += static_cast<wchar_t>(L'0' + value % 10);
}

std::wstring TimeStamp(int errorFlag) {
  const ClockTime time = LocalClockTime();
  std::wstring stamp;
  AppendTwoDigits(stamp, time.hour);
  stamp += L':';
  AppendTwoDigits(stamp, time.minute);
  stamp += L':';
  AppendTwoDigits(stamp, time.second);
  stamp += L':';
  stamp += errorFlag != 0 ? L'!' : L' ';
  return stamp;
}

}  // namespace

std::wstring LastEntryText(const std::wstring& text) {
  // The last ":" before the final character starts the piece; what follows
  // it, less the marker, is compared. A message holding ":" therefore never
  // equals its own piece and is always appended again.
  if (text.size() < 2) return std::wstring();
  const size_t colon = text.find_last_of(L':', text.size() - 2);
  if (colon == std::wstring::npos) return std::wstring();
  const size_t position = text.size() - colon;  // 1-based, counted from the end
  if (position <= 2) return std::wstring();
  std::wstring piece = text.substr(text.size() - (position - 2));
  const size_t first = piece.find_first_not_of(L'\r');
  if (first == std::wstring::npos) return std::wstring();
  const size_t last = piece.find_last_not_of(L'\r');
  return piece.substr(first, last - first + 1);
}

void AddLogLine(const std::wstring& message, int errorFlag) {
  std::lock_guard<std::mutex> guard(logLock);
  if (message == LastEntryText(logText)) return;
  logText += TimeStamp(errorFlag);
  logText += message;
  logText += L'\r';
  LogChanged();
}

std::wstring LogText() {
  std::lock_guard<std::mutex> guard(logLock);
  return logText;
}

std::wstring LogTextFrom(std::size_t offset) {
  std::lock_guard<std::mutex> guard(logLock);
  return offset < logText.size() ? logText.substr(offset) : std::wstring();
}
