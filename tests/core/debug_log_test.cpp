#include "core/debug_log.h"

#include <gtest/gtest.h>

namespace rq4800 {
namespace {

// Captures collect formatted lines and restore the previous target; problems
// keep to their own channel, even while the log is silenced.
TEST(DebugLog, CapturesNestAndProblemsKeepToTheirOwnChannel) {
  DebugLogCapture log;
  ProblemCapture problems;
  {
    DebugLogCapture inner;
    DebugLog("write %x %x %x %x\n", 0x6000, 0x12, 0, 3);
    DebugLog("cold reset\n");
    EXPECT_EQ(inner.text, "write 6000 12 0 3\ncold reset\n");
  }
  DebugLog("warm reset\n");
  ReportProblem("%s: not a file\n", "data/rq4800.fls");
  EXPECT_EQ(log.text, "warm reset\n");
  EXPECT_EQ(problems.text, "data/rq4800.fls: not a file\n");
  DebugLogTarget previous = SetDebugLogTarget(DiscardingTarget());
  DebugLog("silenced\n");
  ReportProblem("again\n");
  SetDebugLogTarget(previous);
  EXPECT_EQ(log.text, "warm reset\n");
  EXPECT_EQ(problems.text, "data/rq4800.fls: not a file\nagain\n");
}

TEST(DebugLog, LongLinesAreCutNotOverrun) {
  DebugLogCapture capture;
  std::string longText(5000, 'x');
  DebugLog("%s", longText.c_str());
  EXPECT_EQ(capture.text.size(), 1023u);
}

}  // namespace
}  // namespace rq4800
