// What the headset tests share: a fresh simulated machine, program state as
// at start-up, and a look at the part of the event log each test wrote.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/main_loop.h"
#include "base/program_state.h"
#include "headset/device_discovery.h"
#include "tests/sim/sim.h"
#include "base/event_log.h"

class HeadsetTest : public ::testing::Test {
 protected:
  void SetUp() override {
    sim::Reset();
    ResetLoopState();
    ResetDiscovery();
    ProgramSettings() = Settings{};
    // The log lives for the whole process: each test reads only its own
    // part. A line holding ":" is never taken for a repeat of the one
    // before, so it also keeps a repeated line from being dropped.
    Separate();
    logStart = LogText().size();
  }

  static void Separate() { AddLogLine(L"test: next", 0); }

  std::wstring Log() const { return LogText().substr(logStart); }

  int Count(const std::wstring& message) const {
    const std::wstring log = Log();
    int count = 0;
    for (size_t at = log.find(message); at != std::wstring::npos; at = log.find(message, at + 1)) {
      ++count;
    }
    return count;
  }

  // A line as the log writes it: marker " " or "!", the message, CR.
  bool Logged(const std::wstring& message, bool error = false) const {
    return Log().find((error ? L":!" : L": ") + message + L"\r") != std::wstring::npos;
  }

  // A few discovery passes, each followed by a line that keeps the log from
  // dropping a repeated message.
  static void Passes(int count) {
    for (int pass = 0; pass < count; ++pass) {
      RunDiscoveryPass();
      Separate();
    }
  }

  size_t logStart = 0;
};
