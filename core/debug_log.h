#pragma once
// The debug log: the printf-style diagnostic lines the device's host program
// writes ("cold reset\n", "write %x %x %x %x\n", ...). They go to standard
// output unless a sink is installed; tests capture them with DebugLogCapture,
// and the desktop front end mirrors them into its log window.
#include <string>
#include <string_view>

namespace rq4800 {

using DebugLogSink = void (*)(void* context, std::string_view text);

// Formats and emits one piece of the log (callers supply their own "\n").
void DebugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Installs a sink and returns the previous one; null sink means standard output.
struct DebugLogTarget {
  DebugLogSink sink = nullptr;
  void* context = nullptr;
};
DebugLogTarget SetDebugLogTarget(DebugLogTarget target);

// Collects every line written while it lives; restores the previous target after.
struct DebugLogCapture {
  std::string text;
  DebugLogCapture();
  ~DebugLogCapture();
  DebugLogCapture(const DebugLogCapture&) = delete;
  DebugLogCapture& operator=(const DebugLogCapture&) = delete;

 private:
  DebugLogTarget previous;
};

}  // namespace rq4800
