// rq4800-cli: the emulator without a window. Flash tools (info, download),
// the headless runner (run) and the disassembler (disasm).
#include "host/cli/command_line.h"

int main(int argc, char** argv) { return rq4800::cli::RunCommandLine(argc, argv); }
