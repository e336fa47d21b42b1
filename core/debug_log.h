#pragma once
// Two text channels from the platform-free code to whichever front end runs it.
//
// The debug log: the printf-style diagnostic lines the device's host program
// writes ("cold reset\n", "write %x %x %x %x\n", ...). They go to standard
// output unless a sink is installed; tests capture them with DebugLogCapture,
// the desktop front end mirrors them into its log window, and the command-line
// tool silences them unless asked to trace.
//
// Problems: what the user must learn about, whatever the log's setting, such as a
// firmware file that was not used or a flash image kept out of the way. They
// go to standard error unless a sink is installed (the desktop window shows
// them); ProblemCapture collects them in tests.
#include <string>
#include <string_view>

namespace rq4800 {

using DebugLogSink = void (*)(void* context, std::string_view text);

struct DebugLogTarget {
  DebugLogSink sink = nullptr;
  void* context = nullptr;
};

// Formats and emits one piece of the log (callers supply their own "\n").
void DebugLog(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Installs a sink and returns the previous one; null sink means standard output.
DebugLogTarget SetDebugLogTarget(DebugLogTarget target);
// A sink that drops everything: the quiet log of the command-line tool.
DebugLogTarget DiscardingTarget();

// Formats and emits one problem line (callers supply their own "\n").
void ReportProblem(const char* format, ...) __attribute__((format(printf, 1, 2)));
// Installs a problem sink and returns the previous one; null means standard error.
DebugLogTarget SetProblemTarget(DebugLogTarget target);

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

struct ProblemCapture {
  std::string text;
  ProblemCapture();
  ~ProblemCapture();
  ProblemCapture(const ProblemCapture&) = delete;
  ProblemCapture& operator=(const ProblemCapture&) = delete;

 private:
  DebugLogTarget previous;
};

}  // namespace rq4800
