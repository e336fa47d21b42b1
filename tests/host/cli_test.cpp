// rq4800-cli as a user meets it: the words it refuses and how it says so,
// the command list, the disassembler's address range, the host time, and
// the debug log that stays out of the output unless traced.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <regex>
#include <tuple>
#include <utility>

#include "host/cli/arguments.h"
#include "host/cli/commands.h"
#include "tests/host/cli_runner.h"
#include "tests/machine/machine_fixture.h"

namespace rq4800::cli {
namespace {

namespace fs = std::filesystem;

TEST(Cli, NumbersAreRefusedWithWhatIsAccepted) {
  const std::vector<std::string> cases[] = {
      {"run", "--frames", "abc"},        {"run", "--frames", "-5"},         {"run", "--frames", "0"},
      {"run", "--frames", "2147483648"}, {"run", "--frames", "1e3"},        {"disasm", "C000", "--count", "0"},
      {"disasm", "C000", "--count", "1.5"}};
  for (const auto& args : cases) {
    const CliResult r = Cli(args);
    const std::string want =
        args[args.size() - 2] + ": expected a whole number from 1 to 2147483647, not \"" + args.back() + "\"";
    EXPECT_EQ(r.status, kExitBadUsage) << Joined(args);
    EXPECT_NE(r.err.find(want), std::string::npos) << Joined(args) << "gave: " << r.err;
    EXPECT_EQ(r.err.find("0.000000"), std::string::npos) << r.err;
  }
}

TEST(Cli, HelpListsTheCommandsAndAnUnknownWordIsNamed) {
  struct Case {
    std::vector<std::string> args;
    int status;
    bool onOut;          // the text goes to standard output (help) or standard error (a refusal)
    const char* naming;  // what the text must say besides the list
  };
  const Case cases[] = {
      {{"help"}, kExitOk, true, "rq4800-cli help COMMAND"},
      {{"--help"}, kExitOk, true, "rq4800-cli help COMMAND"},
      {{"bogus"}, kExitBadUsage, false, "unknown command \"bogus\""},
      {{"Run"}, kExitBadUsage, false, "unknown command \"Run\""},
      {{}, kExitBadUsage, false, "name a command"},
      {{"help", "bogus"}, kExitBadUsage, false, "no command \"bogus\""},
  };
  for (const Case& c : cases) {
    const CliResult r = Cli(c.args);
    const std::string& text = c.onOut ? r.out : r.err;
    EXPECT_EQ(r.status, c.status) << Joined(c.args);
    EXPECT_NE(text.find(c.naming), std::string::npos) << Joined(c.args) << "gave: " << text;
    for (const char* line : {"info ", "download ", "run ", "disasm "})  // one line each, with what it does
      EXPECT_TRUE(std::regex_search(text, std::regex(std::string("\n  ") + line + " *[A-Z][a-z]+ ")))
          << Joined(c.args) << "lacks " << line << "in: " << text;
    EXPECT_EQ((c.onOut ? r.err : r.out), "") << Joined(c.args);
  }
  const CliResult twice = Cli({"help", "run", "info"}), run = Cli({"help", "run"});
  EXPECT_EQ(std::pair(twice.status, twice.err),
            std::pair(kExitBadUsage, std::string("rq4800-cli: help takes one command at most\n")));
  EXPECT_TRUE(run.status == kExitOk && run.out.find("--frames") != std::string::npos) << run.out;
}

TEST(Cli, DisasmTakesSixteenBitAddressesAndWrapsPastFFFF) {
  for (const char* address : {"10000", "0x10000", "FFFFFFFF0000", "-1", "c0g0", "", "0x", "$"}) {
    const CliResult r = Cli({"disasm", address});
    EXPECT_EQ(r.status, kExitBadUsage) << address;
    EXPECT_NE(r.err.find(std::string("disasm: \"") + address + "\" is "), std::string::npos) << r.err;
    EXPECT_EQ(r.out, "") << address;
  }
  for (const char* address : {"$c000", "0xC000"})
    EXPECT_EQ(Cli({"disasm", address, "--count", "1"}).out.substr(0, 6), "C000: ") << address;

  // Whatever bytes the firmware has at the top, listings started there run on
  // at 0000 with four-digit addresses (some start may meet an unknown opcode).
  bool wrapped = false;
  for (int start = 0xFFF8; start <= 0xFFFF; ++start) {
    char text[8];
    std::snprintf(text, sizeof text, "%X", start);
    const CliResult r = Cli({"disasm", text, "--count", "4"});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    std::istringstream lines(r.out);
    for (std::string line; std::getline(lines, line);) {
      ASSERT_TRUE(std::regex_match(line, std::regex("[0-9A-F]{4}: [A-Z]{3} .*"))) << text << ": " << line;
      wrapped = wrapped || std::stoi(line.substr(0, 4), nullptr, 16) < start;
    }
  }
  EXPECT_TRUE(wrapped);
}

TEST(Cli, HostTimeMustBeARealDateAndTime) {
  const std::pair<const char*, const char*> cases[] = {  // text, the reason ("" when it is accepted)
      {"2024-02-29 23:59:59", ""}, {"2000-02-29 00:00:00", ""}, {"1881-01-01 00:00:00", ""},
      {"2136-12-31 23:59:59", ""}, {"2026-1-5 1:2:3", ""},
      {"2026-02-30 10:00:00", "February 2026 has 28 days, not 30"},
      {"2023-02-29 10:00:00", "February 2023 has 28 days, not 29"},
      {"1900-02-29 10:00:00", "February 1900 has 28 days, not 29"},
      {"2026-04-31 10:00:00", "April 2026 has 30 days, not 31"},
      {"2026-12-00 10:00:00", "December 2026 has 31 days, not 0"},
      {"2026-00-10 10:00:00", "there is no month 0"}, {"2026-13-10 10:00:00", "there is no month 13"},
      {"2026-12-05 24:00:00", "hours run from 0 to 23"},
      {"2026-12-05 23:60:00", "minutes and seconds from 0 to 59"},
      {"2026-12-05 23:59:60", "minutes and seconds from 0 to 59"},
      {"1880-12-31 23:59:59", "years from 1881 to 2136, not 1880"},
      {"2137-01-01 00:00:00", "years from 1881 to 2136, not 2137"},
      {"2026-12-05", "expected \"YYYY-MM-DD HH:MM:SS\""}, {"2026-12-05 10:00:00x", "expected"},
      {"2026-12-05  10:00:00", "expected"}, {"2026-12-05T10:00:00", "expected"}, {"-2026-12-05 10:00:00", "expected"},
      {"26-12-05 10:00:00", "expected"}, {"2026-123-05 10:00:00", "expected"}, {"2026-12-05 +1:00:00", "expected"},
  };
  for (auto [text, reason] : cases) {
    std::string why;
    const std::optional<LocalTime> t = ParseHostTime(text, &why);
    EXPECT_EQ(t.has_value(), *reason == '\0') << text;
    EXPECT_NE(why.find(reason), std::string::npos) << text << " gave: " << why;
  }
  std::string why;
  const std::optional<LocalTime> t = ParseHostTime("2024-02-29 23:58:57", &why);
  ASSERT_TRUE(t);
  EXPECT_EQ(std::tuple(t->year, t->month, t->day, t->hour, t->minute, t->second), std::tuple(2024, 2, 29, 23, 58, 57));

  const CliResult r = Cli({"run", "--frames", "1", "--time", "2026-02-30 10:00:00"});
  EXPECT_EQ(std::pair(r.status, r.err),
            std::pair(kExitBadUsage, std::string("run: --time: February 2026 has 28 days, not 30\n")));
}

// The device's log lines ("cold reset", "start c000", ...) appear only with
// --trace; what a command is for (a listing, a report, result lines) always does.
TEST(Cli, DebugLogOnlyWhenTraced) {
  const fs::path dir = test::ScratchDirectory();
  std::ofstream(dir / "note.txt") << "HELLO\r\n";
  const std::string note = (dir / "note.txt").string(), image = (dir / "image.fls").string();
  ASSERT_EQ(Cli({"download", "--out", image}).status, kExitOk);  // the default image, to download whole

  struct Case {
    std::vector<std::string> args;
    size_t outLines;        // lines of output that are not log
    const char* traceLine;  // a log line only --trace shows
  };
  const Case cases[] = {
      {{"download", "--out", (dir / "a.fls").string(), note}, 1, "start "},
      {{"download", "--out", (dir / "b.fls").string(), image}, 1, "cold reset\n"},
      {{"disasm", "C000", "--count", "3"}, 3, nullptr},
      {{"run", "--frames", "2"}, 0, nullptr},
  };
  for (const Case& c : cases) {
    for (bool trace : {false, true}) {
      std::vector<std::string> args = c.args;
      if (trace && c.traceLine) args.push_back("--trace");
      const CliResult r = Cli(args);
      EXPECT_EQ(r.status, kExitOk) << Joined(args) << r.err;
      EXPECT_EQ(r.err, "") << Joined(args);
      if (!trace || !c.traceLine) {
        EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), static_cast<long>(c.outLines)) << Joined(args) << r.out;
      } else {
        EXPECT_NE(r.out.find(c.traceLine), std::string::npos) << Joined(args) << r.out;
      }
    }
  }
  const CliResult info = Cli({"info"});
  EXPECT_TRUE(info.status == kExitOk && info.out.find("Free space") != std::string::npos) << info.out;
}

}  // namespace
}  // namespace rq4800::cli
