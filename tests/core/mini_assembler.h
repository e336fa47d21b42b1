#pragma once
// Just enough of an assembler to write test programs as readable 6502 code:
// opcodes are given as bytes, labels are resolved for branches and absolute
// operands once the program is complete.
#include <cstdint>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

namespace rq4800::testing {

struct MiniAssembler {
  int origin;
  std::vector<uint8_t> code;
  std::map<std::string, int> labels;
  struct Fixup {
    size_t at;
    std::string label;
    bool relative;
  };
  std::vector<Fixup> fixups;

  explicit MiniAssembler(int origin) : origin(origin) {}

  int Here() const { return origin + static_cast<int>(code.size()); }
  void Label(const std::string& name) { labels[name] = Here(); }

  // opcode with 0, 1 or 2 literal operand bytes (little-endian word).
  void Op(int opcode) { code.push_back(static_cast<uint8_t>(opcode)); }
  void Op8(int opcode, int byte) {
    Op(opcode);
    code.push_back(static_cast<uint8_t>(byte));
  }
  void Op16(int opcode, int word) {
    Op(opcode);
    code.push_back(static_cast<uint8_t>(word & 0xFF));
    code.push_back(static_cast<uint8_t>(word >> 8));
  }
  // opcode with an absolute label operand (JMP, JSR, LDA label...).
  void OpLabel(int opcode, const std::string& label) {
    Op(opcode);
    fixups.push_back({code.size(), label, false});
    code.push_back(0);
    code.push_back(0);
  }
  void Branch(int opcode, const std::string& label) {
    Op(opcode);
    fixups.push_back({code.size(), label, true});
    code.push_back(0);
  }

  std::vector<uint8_t> Finish() {
    for (const Fixup& f : fixups) {
      auto it = labels.find(f.label);
      if (it == labels.end()) throw std::logic_error("undefined label " + f.label);
      if (f.relative) {
        int offset = it->second - (origin + static_cast<int>(f.at) + 1);
        if (offset < -128 || offset > 127) throw std::logic_error("branch out of range " + f.label);
        code[f.at] = static_cast<uint8_t>(offset);
      } else {
        code[f.at] = static_cast<uint8_t>(it->second & 0xFF);
        code[f.at + 1] = static_cast<uint8_t>(it->second >> 8);
      }
    }
    return code;
  }
};

}  // namespace rq4800::testing
