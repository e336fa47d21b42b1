#pragma once
// The built-in firmware running on a whole machine: a fixed host clock, a
// sample ring that is drained into a recording after every frame, keys
// pressed through the keyboard part, and the LCD read back as text by
// matching it against the firmware's own font (parsed from firmware/font.s).
#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "host/keyboard.h"
#include "machine/machine.h"
#include "sound/sample_ring.h"

namespace rq4800::test {

// Key codes of the device keys the screens use.
namespace key {
constexpr int kPower = 0, kApp1 = 1, kApp3 = 3, kKey8 = 8, kKey9 = 9, kF1 = 16;
constexpr int kA = 30, kEnter = 39, kUp = 48, kShift = 51, kCaps = 52, kEsc = 53;
constexpr int kDown = 58, kLeft = 57, kRight = 59;
}  // namespace key

struct FixedClock final : IHostClock {
  LocalTime time{2026, 12, 5, 14, 3, 7};
  LocalTime Now() override { return time; }
};

// The 95 glyphs of the firmware's font, 8 rows of 6 dots (bit 5 leftmost).
struct FirmwareFont {
  std::vector<std::array<uint8_t, 8>> glyphs;

  FirmwareFont() {
    std::ifstream in(std::string(RQ4800_SOURCE_DIR) + "/firmware/font.s");
    std::string line;
    std::vector<uint8_t> rows;
    while (std::getline(in, line)) {
      const auto open = line.find("R \"");
      if (open == std::string::npos || line.find_first_not_of(' ') != open) continue;
      uint8_t bits = 0;
      for (int i = 0; i < 5; ++i)
        if (line[open + 3 + i] == '#') bits |= static_cast<uint8_t>(0x20 >> i);
      rows.push_back(bits);
    }
    for (size_t g = 0; g + 8 <= rows.size(); g += 8) {
      std::array<uint8_t, 8> glyph{};
      for (int r = 0; r < 8; ++r) glyph[r] = rows[g + r];
      glyphs.push_back(glyph);
    }
  }
};

class FirmwareTest : public ::testing::Test {
 protected:
  static constexpr int kLcd = 0x09C0;

  ResourceStore resources;
  FixedClock clock;
  SampleRing ring;
  std::unique_ptr<Machine> machine;
  std::vector<int16_t> audio;  // every sample the frames produced, in order
  FirmwareFont font;
  int frames = 0;

  // Subclasses may give their own flash image before Boot.
  void Boot() {
    ASSERT_EQ(font.glyphs.size(), 95u) << "font.s not found or malformed";
    ASSERT_FALSE(resources.Find(resource::kRom0).empty()) << "no built-in firmware";
    ring.samples.assign(SampleRing::kCapacity, 0);
    machine = std::make_unique<Machine>(resources, std::string{}, &clock);
    PowerOn(*machine);
    machine->bus.AttachRing(&ring);
  }

  // Every run of the firmware must stay within the documented opcodes.
  void TearDown() override {
    if (machine) {
      EXPECT_FALSE(machine->faulted) << "unsupported opcode " << std::hex << machine->faultOpcode << " at "
                                     << machine->faultAddress;
    }
  }

  void Run(int count) {
    for (int i = 0; i < count && !machine->faulted; ++i) {
      RunFrame(*machine);
      ++frames;
      // The wave output's part: take every sample the frame produced.
      while (ring.read != ring.write) {
        audio.push_back(ring.samples[ring.read]);
        ring.read = ring.read + 1 == SampleRing::kCapacity ? 0 : ring.read + 1;
      }
    }
  }
  void RunSeconds(double seconds) { Run(static_cast<int>(seconds * 50)); }

  // A key held for a few frames, then released, then time for the screen to
  // answer it.
  void Press(int keyCode, int settleFrames = 10) {
    PressKeyCode(*machine, keyCode);
    Run(3);
    ReleaseAllKeys(*machine);
    Run(settleFrames);
  }
  void Hold(int keyCode) { PressKeyCode(*machine, keyCode); }
  void ReleaseAll() { ReleaseAllKeys(*machine); }

  // From the home screen to menu item n (0..6).
  void OpenMenuItem(int n) {
    RunSeconds(1);
    for (int i = 0; i < n; ++i) Press(key::kDown, 3);
    Press(key::kEnter);
  }

  const uint8_t* Lcd() const { return machine->bus.ram.get() + kLcd; }
  bool Dot(int x, int y) const { return (Lcd()[y * 20 + x / 8] >> (7 - x % 8)) & 1; }
  bool Icon(int row) const { return (Lcd()[row * 20] & 0x80) != 0; }

  // The value the seven-segment digit d (0..3) shows through its icons; -1
  // for a pattern that is no digit, 10 when dark.
  int SegmentDigit(int d) const {
    static const int rows[4][7] = {{1, 2, 33, 34, 35, 0, 3}, {6, 7, 29, 30, 31, 5, 8},
                                   {11, 13, 24, 25, 26, 10, 14}, {16, 17, 19, 21, 22, 15, 18}};
    static const int shapes[11] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F, 0x00};
    int bits = 0;
    for (int s = 0; s < 7; ++s)
      if (Icon(rows[d][s])) bits |= 1 << s;
    for (int v = 0; v < 11; ++v)
      if (shapes[v] == bits) return v;
    return -1;
  }

  // The 6 x 8 cell of text column col, line line, as 8 rows of 6 bits.
  std::array<uint8_t, 8> Cell(int col, int line) const {
    std::array<uint8_t, 8> cell{};
    for (int r = 0; r < 8; ++r)
      for (int i = 0; i < 6; ++i)
        if (Dot(2 + 6 * col + i, 8 * line + r)) cell[r] |= static_cast<uint8_t>(0x20 >> i);
    return cell;
  }

  // The text of one line: each cell matched against the font, drawn dark on
  // light or light on dark; 0x7F where no character matches.
  std::string Line(int line) const {
    std::string text;
    for (int col = 0; col < 26; ++col) {
      const auto cell = Cell(col, line);
      char found = 0x7F;
      for (size_t g = 0; g < font.glyphs.size() && found == 0x7F; ++g) {
        bool plain = true, inverted = true;
        for (int r = 0; r < 8; ++r) {
          plain = plain && cell[r] == font.glyphs[g][r];
          inverted = inverted && cell[r] == (font.glyphs[g][r] ^ 0x3F);
        }
        if (plain || inverted) found = static_cast<char>(0x20 + g);
      }
      text += found;
    }
    return text;
  }
  // The whole screen as text, for failure messages.
  std::string Screen() const {
    std::string all;
    for (int line = 0; line < 10; ++line) {
      all += '|';
      all += Line(line);
      all += "|\n";
    }
    return all;
  }
  // Whether line starts with text drawn at column col (cells compared with
  // the font's rendering of the expected string).
  bool ShowsAt(int col, int line, const std::string& text) const {
    return Line(line).compare(col, text.size(), text) == 0;
  }
  // Whether text is drawn with its top-left cell at dot (x, y), anywhere on
  // the screen (not only on the 8-row text lines).
  bool ShowsTextAtDot(int x, int y, const std::string& text) const {
    for (size_t i = 0; i < text.size(); ++i) {
      const auto& glyph = font.glyphs[static_cast<size_t>(text[i] - 0x20)];
      for (int r = 0; r < 8; ++r)
        for (int d = 0; d < 6; ++d)
          if (Dot(x + 6 * static_cast<int>(i) + d, y + r) != (((glyph[r] >> (5 - d)) & 1) != 0)) return false;
    }
    return true;
  }
  bool ScreenHas(const std::string& text) const { return Screen().find(text) != std::string::npos; }
  // A text line drawn light on dark (the selection bar) has its gap dots set.
  bool Inverted(int line) const { return Dot(1 + 6 * 25 + 6, 8 * line + 7) && Dot(7, 8 * line + 7); }
};

}  // namespace rq4800::test
