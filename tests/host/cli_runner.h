#pragma once
// rq4800-cli run in-process with its words and standard input, its status
// and both outputs kept.
#include <gtest/gtest.h>

#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

#include "host/cli/command_line.h"

namespace rq4800::cli {

struct CliResult {
  int status;
  std::string out, err;
};

inline CliResult Cli(std::vector<std::string> args, const std::string& input = "") {
  args.insert(args.begin(), "rq4800-cli");
  std::vector<const char*> argv;
  for (const std::string& a : args) argv.push_back(a.c_str());
  std::istringstream in(input);
  std::streambuf* const saved = std::cin.rdbuf(in.rdbuf());
  testing::internal::CaptureStdout();
  testing::internal::CaptureStderr();
  const int status = RunCommandLine(static_cast<int>(argv.size()), argv.data());
  std::cout.flush();
  std::fflush(stdout);
  std::cin.rdbuf(saved);
  std::string out = testing::internal::GetCapturedStdout();
  return {status, std::move(out), testing::internal::GetCapturedStderr()};
}

// The words as one line, to name a case.
inline std::string Joined(const std::vector<std::string>& args) {
  std::string text;
  for (const std::string& a : args) text += a + " ";
  return text;
}

}  // namespace rq4800::cli
