#pragma once
// The subcommands of rq4800-cli, each in a file of its own.
#include <CLI/CLI.hpp>

#include "core/debug_log.h"

namespace rq4800::cli {

// Exit codes shared by every subcommand.
constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;     // the work ran but something failed (a download refused)
constexpr int kExitBadUsage = 2;   // unusable arguments or unreadable files
constexpr int kExitFaulted = 3;    // the machine stopped on an unsupported instruction

// The debug log while one command runs: standard output with --trace,
// nowhere otherwise. Problems (ReportProblem) reach standard error either way.
struct CommandLog {
  DebugLogTarget previous;
  explicit CommandLog(bool trace) : previous(SetDebugLogTarget(trace ? DebugLogTarget{} : DiscardingTarget())) {}
  ~CommandLog() { SetDebugLogTarget(previous); }
  CommandLog(const CommandLog&) = delete;
  CommandLog& operator=(const CommandLog&) = delete;
};

// Each adds its subcommand to app; the callback stores its exit code in *exitCode.
void AddInfoCommand(CLI::App& app, int* exitCode);
void AddDownloadCommand(CLI::App& app, int* exitCode);
void AddRunCommand(CLI::App& app, int* exitCode);
void AddDisasmCommand(CLI::App& app, int* exitCode);
void AddDebugCommand(CLI::App& app, int* exitCode);

}  // namespace rq4800::cli
