// Builds the firmware's 12 x 12 font for two-byte text from an X11 bitmap
// font (PCF) at build time: glyphs for GBK (BASIC and skin names, texts) and
// a map from Big5 codes (text file names) into the same glyphs.
//
//   rq4800-fontgen FONT.pcf OUT.bin
//
// OUT fills 25 ROM pages of 32 KB. Pages 1..24 (OUT offset 0) hold 24,576
// glyph slots of 32 bytes: 12 rows of two bytes, the leftmost dot in bit 7 of
// the first byte, then 8 bytes of padding, 1024 slots a page. Slot
// (lead - 0x81) * 191 + (trail - 0x40) is GBK code lead, trail (lead
// 0x81..0xFE, trail 0x40..0xFE); the slots after the last GBK one carry the
// characters that Big5 has and GBK has not. Codes that GBK does not define,
// or that the font has no glyph for, stay blank. The padding of the first
// slot carries the mark "GBK12", by which the firmware knows that the font is
// there.
//
// Page 25 (OUT offset 0xC0000) is the Big5 map: one 16-bit little-endian slot
// number per Big5 code, lead 0xA1..0xF9 and trail 0x40..0x7E, 0xA1..0xFE (157
// trails a lead), entry (lead - 0xA1) * 157 + trail index; 0xFFFF for a code
// without a glyph. Sharing the glyphs keeps the map to one page, where a
// second glyph set would take fourteen.
#include <iconv.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

constexpr int kCell = 12;
constexpr int kSlot = 32;
constexpr int kLeads = 126;   // 0x81..0xFE
constexpr int kTrails = 191;  // 0x40..0xFE
constexpr int kPage = 32768;
constexpr int kGlyphPages = 24;
constexpr int kSlots = kGlyphPages * kPage / kSlot;
constexpr int kBig5Leads = 0xF9 - 0xA1 + 1;
constexpr int kBig5Trails = 157;  // 0x40..0x7E, 0xA1..0xFE
constexpr uint16_t kNoGlyph = 0xFFFF;

// PCF table types and format bits.
constexpr uint32_t kAccelerators = 1u << 1;
constexpr uint32_t kMetrics = 1u << 2;
constexpr uint32_t kBitmaps = 1u << 3;
constexpr uint32_t kEncodings = 1u << 5;
constexpr uint32_t kBdfAccelerators = 1u << 8;
constexpr uint32_t kCompressedMetrics = 0x100;
constexpr uint32_t kByteMsbFirst = 1u << 2;
constexpr uint32_t kBitMsbFirst = 1u << 3;

struct Reader {
  const std::vector<uint8_t>& data;
  size_t pos = 0;
  bool msb = false;
  bool ok = true;

  uint32_t Byte() {
    if (pos >= data.size()) {
      ok = false;
      return 0;
    }
    return data[pos++];
  }
  uint32_t U16() {
    const uint32_t a = Byte(), b = Byte();
    return msb ? (a << 8) | b : (b << 8) | a;
  }
  uint32_t U32() {
    const uint32_t a = Byte(), b = Byte(), c = Byte(), d = Byte();
    return msb ? (a << 24) | (b << 16) | (c << 8) | d : (d << 24) | (c << 16) | (b << 8) | a;
  }
  int32_t I16() { return static_cast<int16_t>(U16()); }
  int32_t I32() { return static_cast<int32_t>(U32()); }
  // The format word of a table is always little-endian; it says how the rest is stored.
  uint32_t Format() {
    msb = false;
    const uint32_t format = U32();
    msb = (format & kByteMsbFirst) != 0;
    return format;
  }
};

struct Metric {
  int left = 0, right = 0, width = 0, ascent = 0, descent = 0;
};

struct Table {
  uint32_t type, format, size, offset;
};

struct PcfFont {
  std::vector<Metric> metrics;
  std::vector<uint32_t> bitmapOffsets;
  std::vector<uint8_t> bitmapData;
  uint32_t bitmapFormat = 0;
  int minByte2 = 0, maxByte2 = 0, minByte1 = 0, maxByte1 = 0;
  std::vector<uint16_t> glyphIndex;
  int fontAscent = 10;
  int fontDescent = 2;

  int Find(uint32_t code) const {
    const int b1 = static_cast<int>(code >> 8), b2 = static_cast<int>(code & 0xFF);
    if (b1 < minByte1 || b1 > maxByte1 || b2 < minByte2 || b2 > maxByte2) return -1;
    const size_t i = static_cast<size_t>((b1 - minByte1) * (maxByte2 - minByte2 + 1) + (b2 - minByte2));
    if (i >= glyphIndex.size() || glyphIndex[i] == 0xFFFF) return -1;
    return glyphIndex[i];
  }
};

bool ParsePcf(const std::vector<uint8_t>& data, PcfFont& font) {
  Reader r{data};
  if (r.U32() != 0x70636601) return false;  // "\1fcp"
  const uint32_t count = r.U32();
  std::vector<Table> tables;
  for (uint32_t i = 0; i < count && r.ok; ++i) tables.push_back({r.U32(), r.U32(), r.U32(), r.U32()});
  bool haveBdfAccel = false;
  for (const Table& t : tables) {
    r.pos = t.offset;
    if (t.type == kMetrics) {
      const uint32_t format = r.Format();
      const bool compressed = (format & kCompressedMetrics) != 0;
      const int n = compressed ? static_cast<int>(r.U16()) : r.I32();
      for (int i = 0; i < n && r.ok; ++i) {
        Metric m;
        if (compressed) {
          m.left = static_cast<int>(r.Byte()) - 0x80;
          m.right = static_cast<int>(r.Byte()) - 0x80;
          m.width = static_cast<int>(r.Byte()) - 0x80;
          m.ascent = static_cast<int>(r.Byte()) - 0x80;
          m.descent = static_cast<int>(r.Byte()) - 0x80;
        } else {
          m.left = r.I16();
          m.right = r.I16();
          m.width = r.I16();
          m.ascent = r.I16();
          m.descent = r.I16();
          r.U16();
        }
        font.metrics.push_back(m);
      }
    } else if (t.type == kBitmaps) {
      font.bitmapFormat = r.Format();
      const int n = r.I32();
      for (int i = 0; i < n && r.ok; ++i) font.bitmapOffsets.push_back(r.U32());
      uint32_t sizes[4];
      for (uint32_t& s : sizes) s = r.U32();
      const uint32_t size = sizes[font.bitmapFormat & 3];
      if (r.pos + size > data.size()) return false;
      font.bitmapData.assign(data.begin() + static_cast<long>(r.pos), data.begin() + static_cast<long>(r.pos + size));
    } else if (t.type == kEncodings) {
      r.Format();
      font.minByte2 = r.I16();
      font.maxByte2 = r.I16();
      font.minByte1 = r.I16();
      font.maxByte1 = r.I16();
      r.I16();  // default char
      const int n = (font.maxByte2 - font.minByte2 + 1) * (font.maxByte1 - font.minByte1 + 1);
      for (int i = 0; i < n && r.ok; ++i) font.glyphIndex.push_back(static_cast<uint16_t>(r.U16()));
    } else if (t.type == kAccelerators || t.type == kBdfAccelerators) {
      if (t.type == kAccelerators && haveBdfAccel) continue;
      r.Format();
      r.pos += 8;  // the eight flag bytes
      font.fontAscent = r.I32();
      font.fontDescent = r.I32();
      haveBdfAccel = haveBdfAccel || t.type == kBdfAccelerators;
    }
  }
  return r.ok && !font.metrics.empty() && !font.bitmapOffsets.empty() && !font.glyphIndex.empty();
}

// Dot (x, y) of glyph g, in the glyph's own box.
bool GlyphDot(const PcfFont& font, int g, int x, int y) {
  const Metric& m = font.metrics[static_cast<size_t>(g)];
  const int pad = 1 << (font.bitmapFormat & 3);
  const int unit = 1 << ((font.bitmapFormat >> 4) & 3);
  const int width = m.right - m.left;
  const int rowBytes = ((width + 7) / 8 + pad - 1) / pad * pad;
  size_t byte = font.bitmapOffsets[static_cast<size_t>(g)] + static_cast<size_t>(y * rowBytes + x / 8);
  // Bytes within a scan unit are stored in the byte order of the format.
  if (unit > 1 && !(font.bitmapFormat & kByteMsbFirst)) {
    const size_t base = byte - byte % static_cast<size_t>(unit);
    byte = base + static_cast<size_t>(unit) - 1 - (byte - base);
  }
  if (byte >= font.bitmapData.size()) return false;
  const int bit = (font.bitmapFormat & kBitMsbFirst) ? 7 - x % 8 : x % 8;
  return (font.bitmapData[byte] >> bit) & 1;
}

// Draws glyph g into a 32-byte slot, its box centred in the 12 x 12 cell:
// the font's full height is more than 12 rows, but the two-byte characters'
// boxes are not.
void DrawSlot(const PcfFont& font, int g, uint8_t* slot) {
  const Metric& m = font.metrics[static_cast<size_t>(g)];
  const int top = (kCell - (m.ascent + m.descent)) / 2;
  for (int y = 0; y < m.ascent + m.descent; ++y) {
    for (int x = 0; x < m.right - m.left; ++x) {
      const int cx = m.left + x, cy = top + y;
      if (cx < 0 || cx >= kCell || cy < 0 || cy >= kCell || !GlyphDot(font, g, x, y)) continue;
      slot[cy * 2 + cx / 8] |= static_cast<uint8_t>(0x80 >> (cx % 8));
    }
  }
}

// The Unicode code point of one two-byte character in a code page; 0 when
// the code page does not define it.
uint32_t ToUnicode(iconv_t cd, int lead, int trail) {
  char bytes[2] = {static_cast<char>(lead), static_cast<char>(trail)};
  uint32_t unicode = 0;
  char* inPtr = bytes;
  size_t inLeft = 2;
  char* outPtr = reinterpret_cast<char*>(&unicode);
  size_t outLeft = 4;
  iconv(cd, nullptr, nullptr, nullptr, nullptr);
  if (iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || outLeft != 0) return 0;
  return unicode;
}

// The glyph of a code point, or -1 when the font has none.
int FindGlyph(const PcfFont& font, uint32_t unicode) {
  const int g = unicode ? font.Find(unicode) : -1;
  return g >= 0 && static_cast<size_t>(g) < font.metrics.size() ? g : -1;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s FONT.pcf OUT.bin\n", argv[0]);
    return 2;
  }
  std::ifstream in(argv[1], std::ios::binary);
  const std::vector<uint8_t> data((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  PcfFont font;
  if (data.empty() || !ParsePcf(data, font)) {
    std::fprintf(stderr, "%s: not a readable PCF font\n", argv[1]);
    return 1;
  }
  iconv_t fromGbk = iconv_open("UTF-32LE", "GBK");
  iconv_t fromBig5 = iconv_open("UTF-32LE", "CP950");  // as the device names are made
  if (fromGbk == reinterpret_cast<iconv_t>(-1) || fromBig5 == reinterpret_cast<iconv_t>(-1)) {
    std::fprintf(stderr, "no GBK or Big5 conversion available\n");
    return 1;
  }
  std::vector<uint8_t> out(static_cast<size_t>(kGlyphPages + 1) * kPage, 0);
  std::unordered_map<uint32_t, int> slotOf;  // code point -> glyph slot
  int drawn = 0;
  for (int lead = 0; lead < kLeads; ++lead) {
    for (int trail = 0; trail < kTrails; ++trail) {
      const uint32_t unicode = ToUnicode(fromGbk, 0x81 + lead, 0x40 + trail);
      const int g = FindGlyph(font, unicode);
      if (g < 0) continue;
      const int slot = lead * kTrails + trail;
      DrawSlot(font, g, &out[static_cast<size_t>(slot) * kSlot]);
      slotOf.emplace(unicode, slot);
      ++drawn;
    }
  }
  // The Big5 map, with a slot of its own for each character GBK lacks.
  int nextSlot = kLeads * kTrails, big5 = 0;
  uint8_t* map = &out[static_cast<size_t>(kGlyphPages) * kPage];
  for (int lead = 0; lead < kBig5Leads; ++lead) {
    for (int t = 0; t < kBig5Trails; ++t) {
      const int trail = t < 63 ? 0x40 + t : 0xA1 + (t - 63);
      const uint32_t unicode = ToUnicode(fromBig5, 0xA1 + lead, trail);
      uint16_t slot = kNoGlyph;
      if (const auto known = slotOf.find(unicode); known != slotOf.end()) {
        slot = static_cast<uint16_t>(known->second);
      } else if (const int g = FindGlyph(font, unicode); g >= 0 && nextSlot < kSlots) {
        DrawSlot(font, g, &out[static_cast<size_t>(nextSlot) * kSlot]);
        slotOf.emplace(unicode, nextSlot);
        slot = static_cast<uint16_t>(nextSlot++);
      }
      big5 += slot != kNoGlyph;
      const size_t entry = static_cast<size_t>(lead * kBig5Trails + t) * 2;
      map[entry] = static_cast<uint8_t>(slot & 0xFF);
      map[entry + 1] = static_cast<uint8_t>(slot >> 8);
    }
  }
  iconv_close(fromGbk);
  iconv_close(fromBig5);
  const char mark[] = "GBK12";
  for (int i = 0; i < 5; ++i) out[24 + static_cast<size_t>(i)] = static_cast<uint8_t>(mark[i]);
  std::ofstream file(argv[2], std::ios::binary);
  file.write(reinterpret_cast<const char*>(out.data()), static_cast<std::streamsize>(out.size()));
  if (!file) {
    std::fprintf(stderr, "%s: cannot write\n", argv[2]);
    return 1;
  }
  std::printf("fontgen: %d GBK glyphs, %d Big5 codes (%d glyphs of their own), font ascent %d, descent %d\n",
              drawn, big5, nextSlot - kLeads * kTrails, font.fontAscent, font.fontDescent);
  return 0;
}
