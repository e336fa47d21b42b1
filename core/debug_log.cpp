#include "core/debug_log.h"

#include <cstdarg>
#include <cstdio>

namespace rq4800 {

namespace {
// Each channel has one destination per process, as the standard streams do.
DebugLogTarget logTarget;
DebugLogTarget problemTarget;

void Emit(const DebugLogTarget& target, std::FILE* fallback, const char* format, va_list args) {
  char buffer[1024];
  int n = std::vsnprintf(buffer, sizeof buffer, format, args);
  if (n < 0) return;
  size_t length = static_cast<size_t>(n) < sizeof buffer ? static_cast<size_t>(n) : sizeof buffer - 1;
  if (target.sink) {
    target.sink(target.context, std::string_view(buffer, length));
  } else {
    std::fwrite(buffer, 1, length, fallback);
    std::fflush(fallback);
  }
}

void Append(void* context, std::string_view text) { static_cast<std::string*>(context)->append(text); }
}  // namespace

void DebugLog(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Emit(logTarget, stdout, format, args);
  va_end(args);
}

void ReportProblem(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Emit(problemTarget, stderr, format, args);
  va_end(args);
}

DebugLogTarget SetDebugLogTarget(DebugLogTarget target) {
  DebugLogTarget old = logTarget;
  logTarget = target;
  return old;
}

DebugLogTarget SetProblemTarget(DebugLogTarget target) {
  DebugLogTarget old = problemTarget;
  problemTarget = target;
  return old;
}

DebugLogTarget DiscardingTarget() {
  return {[](void*, std::string_view) {}, nullptr};
}

DebugLogCapture::DebugLogCapture() { previous = SetDebugLogTarget({Append, &text}); }
DebugLogCapture::~DebugLogCapture() { SetDebugLogTarget(previous); }

ProblemCapture::ProblemCapture() { previous = SetProblemTarget({Append, &text}); }
ProblemCapture::~ProblemCapture() { SetProblemTarget(previous); }

}  // namespace rq4800
