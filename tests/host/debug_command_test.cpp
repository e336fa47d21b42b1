// rq4800-cli debug as a script drives it: commands from standard input,
// answers on standard output, status 0 at quit; a flash image or time that
// cannot be used ends it before it starts.
#include <gtest/gtest.h>

#include "tests/host/cli_runner.h"

namespace rq4800::cli {
namespace {

CliResult Debug(std::vector<std::string> args, const std::string& input) {
  args.insert(args.begin(), "debug");
  return Cli(std::move(args), input);
}

TEST(DebugCommand, AnswersEachLineAndStopsAtQuit) {
  const CliResult r = Debug({"--time", "2026-12-06 12:00:00"},
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
  const CliResult r = Debug({"--flash", "/nonexistent/image.fls"}, "regs\n");
  EXPECT_EQ(std::pair(r.status, r.out), std::pair(2, std::string()));
  EXPECT_NE(r.err.find("--flash"), std::string::npos) << r.err;
  EXPECT_EQ(Debug({"--time", "2026-02-30 00:00:00"}, "").status, 2);
}

}  // namespace
}  // namespace rq4800::cli
