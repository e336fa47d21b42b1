// rq4800-cli debug as a script drives it: commands from standard input,
// answers on standard output, status 0 at quit; a flash image or time that
// cannot be used ends it before it starts.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "host/cli/command_line.h"

namespace rq4800::cli {
namespace {

struct Result {
  int status;
  std::string out, err;
};

Result Debug(std::vector<std::string> args, const std::string& input) {
  args.insert(args.begin(), {"rq4800-cli", "debug"});
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::istringstream in(input);
  std::streambuf* const saved = std::cin.rdbuf(in.rdbuf());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int status = RunCommandLine(static_cast<int>(argv.size()), argv.data());
  std::cout.flush();
  std::cin.rdbuf(saved);
  std::string out = testing::internal::GetCapturedStdout();
  return {status, std::move(out), testing::internal::GetCapturedStderr()};
}

TEST(DebugCommand, AnswersEachLineAndStopsAtQuit) {
  const Result r = Debug({"--time", "2026-12-06 12:00:00"},
                         "regs\nbogus\nbreak GetKey\ncontinue 200\nregs\nquit\nregs\n");
  EXPECT_EQ(r.status, 0);
  std::istringstream lines(r.out);
  std::vector<std::string> answers;
  for (std::string line; std::getline(lines, line);) answers.push_back(line);
  ASSERT_EQ(answers.size(), 5u) << r.out;
  EXPECT_EQ(answers[0], "PC:E000 SP:1FF P:04 A:00 X:00 Y:00  BANK:00 BSW:0 INT:00");
  EXPECT_EQ(answers[1], "error: unknown command \"bogus\"");
  EXPECT_TRUE(answers[2].starts_with("breakpoint ")) << answers[2];
  EXPECT_TRUE(answers[3].starts_with("break ") && answers[3].ends_with(" (GetKey)")) << answers[3];
  EXPECT_TRUE(answers[4].ends_with("  GetKey")) << "the register line names PC: " << answers[4];
}

TEST(DebugCommand, EndOfInputIsQuitAndBadOptionsStopBeforeTheStart) {
  EXPECT_EQ(Debug({}, "regs").status, 0);
  const Result r = Debug({"--flash", "/nonexistent/image.fls"}, "regs\n");
  EXPECT_EQ(r.status, 2);
  EXPECT_EQ(r.out, "");
  EXPECT_NE(r.err.find("--flash"), std::string::npos) << r.err;
  EXPECT_EQ(Debug({"--time", "2026-02-30 00:00:00"}, "").status, 2);
}

}  // namespace
}  // namespace rq4800::cli
