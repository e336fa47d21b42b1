#pragma once
// The built-in firmware on a whole machine: a fixed host clock, every sound
// sample kept, keys pressed through the keyboard part, and the LCD read back
// as text by matching it against the firmware's own font.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "host/keyboard.h"
#include "machine/machine.h"
#include "sound/sample_ring.h"
#include "tests/firmware/font12.h"

namespace rq4800::test {

// Key codes of the device keys the screens use.
namespace key {
constexpr int kPower = 0, kApp1 = 1, kApp3 = 3, kKey8 = 8, kKey9 = 9, kF1 = 16;
constexpr int kQ = 20, kA = 30, kEnter = 39, kUp = 48, kShift = 51, kCaps = 52, kEsc = 53;
constexpr int kDown = 58, kLeft = 57, kRight = 59;
}  // namespace key

struct FixedClock final : IHostClock {
  LocalTime time{2026, 12, 5, 14, 3, 7};
  LocalTime Now() override { return time; }
};

// The glyphs of the firmware's font, 8 rows of 6 dots (bit 5 leftmost),
// from its source lines of the form R "#.#.."
inline std::vector<std::array<uint8_t, 8>> LoadFont() {
  std::vector<std::array<uint8_t, 8>> glyphs;
  std::ifstream in(std::string(RQ4800_SOURCE_DIR) + "/firmware/font.s");
  int row = 0;
  for (std::string line; std::getline(in, line);) {
    const auto open = line.find("R \"");
    if (open == std::string::npos || line.find_first_not_of(' ') != open) continue;
    if (row == 0) glyphs.emplace_back();
    for (int i = 0; i < 5; ++i)
      if (line[open + 3 + i] == '#') glyphs.back()[row] |= static_cast<uint8_t>(0x20 >> i);
    row = (row + 1) % 8;
  }
  return glyphs;
}

class FirmwareTest : public ::testing::Test {
 protected:
  ResourceStore resources;
  FixedClock clock;
  SampleRing ring;
  std::unique_ptr<Machine> machine;
  std::vector<int16_t> audio;  // every sample the frames produced, in order
  const std::vector<std::array<uint8_t, 8>> font = LoadFont();

  // Subclasses may replace resources (a flash image) before Boot; a test
  // may boot again, and each machine it leaves is checked.
  void Boot() {
    ExpectNoFault();
    ASSERT_EQ(font.size(), 95u) << "font.s not found or malformed";
    ASSERT_FALSE(resources.Find(resource::kRom0).empty()) << "no built-in firmware";
    ring.samples.assign(SampleRing::kCapacity, 0);
    machine = std::make_unique<Machine>(resources, &clock);
    PowerOn(*machine);
    machine->bus.AttachRing(&ring);
  }

  // Every run of the firmware must stay within the documented opcodes.
  void TearDown() override { ExpectNoFault(); }
  void ExpectNoFault() const {
    if (!machine) return;
    EXPECT_FALSE(machine->faulted) << "unsupported opcode " << std::hex << machine->faultOpcode << " at "
                                   << machine->faultAddress;
  }

  void Run(int count) {
    for (int i = 0; i < count && !machine->faulted; ++i) {
      RunFrame(*machine);
      while (ring.read != ring.write) {  // the wave output's part
        audio.push_back(ring.samples[ring.read]);
        ring.read = ring.read + 1 == SampleRing::kCapacity ? 0 : ring.read + 1;
      }
    }
  }
  void RunSeconds(double seconds) { Run(static_cast<int>(seconds * 50)); }

  // A key held for 3 frames, released, then time for the screen to answer.
  void Press(int keyCode, int settleFrames = 10) {
    PressKeyCode(*machine, keyCode);
    Run(3);
    ReleaseAllKeys(*machine);
    Run(settleFrames);
  }

  // From the home screen to menu item n (0..6).
  void OpenMenuItem(int n) {
    RunSeconds(1);
    for (int i = 0; i < n; ++i) Press(key::kDown, 3);
    Press(key::kEnter);
  }
  // A fresh machine showing menu item n, whose title line has title.
  void OpenScreen(int n, const std::string& title) {
    Boot();
    OpenMenuItem(n);
    ASSERT_NE(Line(0).find(title), std::string::npos) << Screen();
  }

  const uint8_t* Lcd() const { return machine->bus.ram.get() + 0x09C0; }
  bool Dot(int x, int y) const { return (Lcd()[y * 20 + x / 8] >> (7 - x % 8)) & 1; }
  bool Icon(int row) const { return (Lcd()[row * 20] & 0x80) != 0; }

  // The four seven-segment digits as a number; -1 when one shows no digit.
  int SegmentDigits() const {
    static const int rows[4][7] = {{1, 2, 33, 34, 35, 0, 3}, {6, 7, 29, 30, 31, 5, 8},
                                   {11, 13, 24, 25, 26, 10, 14}, {16, 17, 19, 21, 22, 15, 18}};
    static const int shapes[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    int value = 0;
    for (int d = 0; d < 4; ++d) {
      int bits = 0;
      for (int s = 0; s < 7; ++s) bits |= Icon(rows[d][s]) << s;
      const int* digit = std::find(shapes, shapes + 10, bits);
      if (digit == shapes + 10) return -1;
      value = value * 10 + static_cast<int>(digit - shapes);
    }
    return value;
  }

  // The 6 x 8 cell with its top-left dot at (x, y), as 8 rows of 6 bits.
  std::array<uint8_t, 8> Cell(int x, int y) const {
    std::array<uint8_t, 8> cell{};
    for (int r = 0; r < 8; ++r)
      for (int i = 0; i < 6; ++i) cell[r] |= static_cast<uint8_t>(Dot(x + i, y + r) << (5 - i));
    return cell;
  }
  // The text of one 8-row line: each cell matched against the font, dark on
  // light or else light on dark; 0x7F where no character matches.
  std::string Line(int line) const { return RowText(8 * line); }
  // The same for the 26 cells whose top row is dot row y.
  std::string RowText(int y) const {
    std::string text;
    for (int col = 0; col < 26; ++col) {
      auto cell = Cell(2 + 6 * col, y);
      auto glyph = std::find(font.begin(), font.end(), cell);
      for (auto& row : cell) row ^= 0x3F;
      if (glyph == font.end()) glyph = std::find(font.begin(), font.end(), cell);
      text += glyph == font.end() ? '\x7F' : static_cast<char>(0x20 + (glyph - font.begin()));
    }
    return text;
  }
  // The whole screen as text, for failure messages.
  std::string Screen() const {
    std::string all;
    for (int line = 0; line < 10; ++line) all += '|' + Line(line) + "|\n";
    return all;
  }
  bool ScreenHas(const std::string& text) const { return Screen().find(text) != std::string::npos; }
  bool AtHome() const { return Line(0).find("RQ4800 Diagnostics") != std::string::npos; }
  // Whether text is drawn with its top-left cell at dot (x, y), on or off the
  // 8-row text lines.
  bool ShowsTextAtDot(int x, int y, const std::string& text) const {
    for (size_t i = 0; i < text.size(); ++i)
      if (Cell(x + 6 * static_cast<int>(i), y) != font[static_cast<size_t>(text[i] - 0x20)]) return false;
    return true;
  }
  // A line drawn light on dark (the selection bar) has its gap dots set.
  bool Inverted(int line) const { return Dot(157, 8 * line + 7) && Dot(7, 8 * line + 7); }

  // The file list: rows of 12 dots from dot row 9, one-byte characters 4
  // rows down in them.
  static int ListRowTop(int row) { return 9 + 12 * row; }
  std::string ListRow(int row) const { return RowText(ListRowTop(row) + 4); }
  bool ListInverted(int row) const { return Dot(157, ListRowTop(row) + 11) && Dot(7, ListRowTop(row) + 11); }

  // Whether glyph slot `slot` of the 12 x 12 font is drawn dark on light or
  // light on dark with its top-left dot at (x, y).
  bool ShowsGlyphAt(const Font12& font12, int slot, int x, int y) const {
    for (const int flip : {0, 0xFFF}) {
      bool same = true;
      for (int r = 0; r < 12 && same; ++r)
        for (int d = 0; d < 12 && same; ++d) same = Dot(x + d, y + r) == ((((font12.Row(slot, r) ^ flip) >> (11 - d)) & 1) != 0);
      if (same) return true;
    }
    return false;
  }

  // The address of an exported firmware symbol, from the linker's label file.
  static int Label(const std::string& name) {
    std::ifstream in(std::string(RQ4800_BINARY_DIR) + "/firmware/rq4800_firmware.lbl");
    for (std::string kind, address, label; in >> kind >> address >> label;)
      if (label == "." + name) return std::stoi(address, nullptr, 16);
    return -1;
  }
};

}  // namespace rq4800::test
