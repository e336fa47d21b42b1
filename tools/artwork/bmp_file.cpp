#include "tools/artwork/bmp_file.h"

#include <cstdint>
#include <cstdio>
#include <vector>

namespace rq4800::artwork {

const Rgb kSixteenColours[16] = {
    {0x00, 0x00, 0x00}, {0x80, 0x00, 0x00}, {0x00, 0x80, 0x00}, {0x80, 0x80, 0x00},
    {0x00, 0x00, 0x80}, {0x80, 0x00, 0x80}, {0x00, 0x80, 0x80}, {0xC0, 0xC0, 0xC0},
    {0x80, 0x80, 0x80}, {0xFF, 0x00, 0x00}, {0x00, 0xFF, 0x00}, {0xFF, 0xFF, 0x00},
    {0x00, 0x00, 0xFF}, {0xFF, 0x00, 0xFF}, {0x00, 0xFF, 0xFF}, {0xFF, 0xFF, 0xFF},
};

namespace {

void Put16(std::vector<uint8_t>& out, uint32_t v) {
  out.push_back(static_cast<uint8_t>(v));
  out.push_back(static_cast<uint8_t>(v >> 8));
}
void Put32(std::vector<uint8_t>& out, uint32_t v) {
  Put16(out, v & 0xFFFF);
  Put16(out, v >> 16);
}

// File header and information header; the caller appends table and rows.
std::vector<uint8_t> Headers(const Canvas& picture, int bitCount, uint32_t tableBytes, uint32_t pixelBytes) {
  std::vector<uint8_t> out;
  uint32_t offset = 14 + 40 + tableBytes;
  out.push_back('B');
  out.push_back('M');
  Put32(out, offset + pixelBytes);
  Put32(out, 0);
  Put32(out, offset);
  Put32(out, 40);
  Put32(out, static_cast<uint32_t>(picture.width));
  Put32(out, static_cast<uint32_t>(picture.height));  // positive: bottom row first
  Put16(out, 1);
  Put16(out, static_cast<uint32_t>(bitCount));
  Put32(out, 0);  // no compression
  Put32(out, pixelBytes);
  Put32(out, 2835);  // 72 dots per inch
  Put32(out, 2835);
  Put32(out, bitCount == 4 ? 16 : 0);
  Put32(out, 0);
  return out;
}

bool Save(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return false;
  bool ok = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
  return std::fclose(file) == 0 && ok;
}

}  // namespace

bool WriteBmp24(const std::string& path, const Canvas& picture) {
  uint32_t stride = (static_cast<uint32_t>(picture.width) * 3 + 3) & ~3u;
  std::vector<uint8_t> out = Headers(picture, 24, 0, stride * picture.height);
  for (int y = picture.height - 1; y >= 0; --y) {
    size_t start = out.size();
    for (int x = 0; x < picture.width; ++x) {
      Rgb p = picture.At(x, y);
      out.push_back(p.b);
      out.push_back(p.g);
      out.push_back(p.r);
    }
    out.resize(start + stride, 0);
  }
  return Save(path, out);
}

bool WriteBmp4(const std::string& path, const Canvas& picture) {
  uint32_t stride = ((static_cast<uint32_t>(picture.width) * 4 + 31) / 32) * 4;
  std::vector<uint8_t> out = Headers(picture, 4, 64, stride * picture.height);
  for (const Rgb& c : kSixteenColours) {
    out.push_back(c.b);
    out.push_back(c.g);
    out.push_back(c.r);
    out.push_back(0);
  }
  for (int y = picture.height - 1; y >= 0; --y) {
    std::vector<uint8_t> row(stride, 0);
    for (int x = 0; x < picture.width; ++x) {
      int index = 0;
      while (index < 16 && !(kSixteenColours[index] == picture.At(x, y))) ++index;
      if (index == 16) return false;
      row[x / 2] |= static_cast<uint8_t>(x % 2 == 0 ? index << 4 : index);  // left pixel in the high nibble
    }
    out.insert(out.end(), row.begin(), row.end());
  }
  return Save(path, out);
}

}  // namespace rq4800::artwork
