#pragma once
// The 12 x 12 font the build makes for two-byte text, read back for tests:
// 32-byte glyph slots (12 rows of 2 bytes) for GBK codes and after them for
// the Big5 characters GBK lacks, then a page mapping Big5 codes to slots.
#include <cstddef>
#include <cstdint>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace rq4800::test {

struct Font12 {
  static constexpr size_t kPage = 32768;
  static constexpr size_t kGlyphPages = 24;
  static constexpr int kGbkSlots = 126 * 191;
  static constexpr int kSlots = static_cast<int>(kGlyphPages * kPage / 32);
  static constexpr int kNoGlyph = 0xFFFF;

  std::vector<uint8_t> bytes;
  Font12() {
    std::ifstream in(std::string(RQ4800_BINARY_DIR) + "/firmware/gbk12.bin", std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  bool Present() const { return !bytes.empty(); }

  static int GbkSlot(int lead, int trail) { return (lead - 0x81) * 191 + (trail - 0x40); }
  // The slot the Big5 map gives for a code of lead 0xA1..0xF9.
  int Big5Slot(int lead, int trail) const {
    const int t = trail < 0x7F ? trail - 0x40 : trail - 0xA1 + 63;
    const size_t entry = kGlyphPages * kPage + static_cast<size_t>((lead - 0xA1) * 157 + t) * 2;
    return bytes[entry] | (bytes[entry + 1] << 8);
  }
  // Row r of a slot: 12 dots, the leftmost in bit 11.
  int Row(int slot, int r) const {
    const size_t at = static_cast<size_t>(slot) * 32 + 2 * static_cast<size_t>(r);
    return (bytes[at] << 4) | (bytes[at + 1] >> 4);
  }
  int Ink(int slot) const {
    int dots = 0;
    for (int r = 0; r < 12; ++r) dots += __builtin_popcount(static_cast<unsigned>(Row(slot, r)));
    return dots;
  }
};

}  // namespace rq4800::test
