#pragma once
// The debugger's command language, one line in, the answer text out, as
// `rq4800-cli debug` reads it from standard input. Addresses, bytes and
// banks are hexadecimal, counts decimal; an address may also be a label.
//
//   regs | mem ADDR [COUNT] | disasm [ADDR] [COUNT]
//   break ADDR [BANK] | delete ADDR | watch START[-END] r|w|rw | unwatch START
//   continue [FRAMES] | step [N] | next | finish | until ADDR
//   set REG VALUE | poke ADDR BYTE... | key LINE | key-file FILE | irq on|off | nmi on|off
//   symbols FILE | trace FILE [LINES] | trace off | screenshot FILE.png | quit
//
// mem and poke take ram:, rom: or flash: in front of a physical offset to
// reach those memories directly instead of through the bus.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "debugger/debugger.h"
#include "host/key_script.h"
#include "host/keyboard.h"

namespace rq4800 {

struct Screen;

struct DebugSession {
  Debugger debugger;
  Screen* screen = nullptr;  // for clicks and screenshots; none: both refused
  bool shiftHeld = false;
  std::vector<KeyScriptEvent> pending;  // key lines not yet played, in frame order
  int64_t frames = 0;                   // frames ended since the session began
  bool quit = false;

  explicit DebugSession(Machine& machine) : debugger(machine) {}
};

// Runs one command line and returns its answer, every line ending in '\n'.
// A bad command is answered with a message starting "error: " and changes
// nothing.
std::string ExecuteDebugCommand(DebugSession& session, std::string_view line);

}  // namespace rq4800
