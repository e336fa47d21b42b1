#include "core/debug_log.h"

#include <gtest/gtest.h>

namespace rq4800 {
namespace {

TEST(DebugLog, CaptureCollectsFormattedLinesAndRestoresThePreviousTarget) {
  DebugLogCapture outer;
  {
    DebugLogCapture inner;
    DebugLog("write %x %x %x %x\n", 0x6000, 0x12, 0, 3);
    DebugLog("cold reset\n");
    EXPECT_EQ(inner.text, "write 6000 12 0 3\ncold reset\n");
  }
  DebugLog("warm reset\n");
  EXPECT_EQ(outer.text, "warm reset\n");
}

TEST(DebugLog, LongLinesAreCutNotOverrun) {
  DebugLogCapture capture;
  std::string longText(5000, 'x');
  DebugLog("%s", longText.c_str());
  EXPECT_EQ(capture.text.size(), 1023u);
}

TEST(DebugLog, ProblemsAndLogLinesKeepToTheirOwnChannels) {
  DebugLogCapture log;
  ProblemCapture problems;
  DebugLog("cold reset\n");
  ReportProblem("%s: not a file\n", "data/rq4800.fls");
  EXPECT_EQ(log.text, "cold reset\n");
  EXPECT_EQ(problems.text, "data/rq4800.fls: not a file\n");

  // A silenced log still lets problems through.
  DebugLogTarget previous = SetDebugLogTarget(DiscardingTarget());
  DebugLog("warm reset\n");
  ReportProblem("again\n");
  SetDebugLogTarget(previous);
  EXPECT_EQ(log.text, "cold reset\n");
  EXPECT_EQ(problems.text, "data/rq4800.fls: not a file\nagain\n");
}

}  // namespace
}  // namespace rq4800
