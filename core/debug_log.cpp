#include "core/debug_log.h"

#include <cstdarg>
#include <cstdio>

namespace rq4800 {

namespace {
// The log is the process's standard output: one destination per process.
DebugLogTarget currentTarget;
}  // namespace

void DebugLog(const char* format, ...) {
  char buffer[1024];
  va_list args;
  va_start(args, format);
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  va_end(args);
  if (n < 0) return;
  size_t length = static_cast<size_t>(n) < sizeof buffer ? static_cast<size_t>(n) : sizeof buffer - 1;
  if (currentTarget.sink) {
    currentTarget.sink(currentTarget.context, std::string_view(buffer, length));
  } else {
    std::fwrite(buffer, 1, length, stdout);
    std::fflush(stdout);
  }
}

DebugLogTarget SetDebugLogTarget(DebugLogTarget target) {
  DebugLogTarget old = currentTarget;
  currentTarget = target;
  return old;
}

DebugLogCapture::DebugLogCapture() {
  previous = SetDebugLogTarget({[](void* context, std::string_view text) {
                                  static_cast<DebugLogCapture*>(context)->text.append(text);
                                },
                                this});
}

DebugLogCapture::~DebugLogCapture() { SetDebugLogTarget(previous); }

}  // namespace rq4800
