#pragma once
// A loaded picture, kept the way the device's host program keeps its skin and
// icons: 32-bit pixels 0xAARRGGBB (bytes blue, green, red, alpha in memory),
// rows stored bottom-up as in a BMP file, so stored row 0 is the picture's
// bottom row and the pixel at display (x, y) sits in stored row height-1-y.
#include <cstdint>
#include <span>
#include <vector>

namespace rq4800 {

struct ResourceStore;

struct Image {
  std::vector<uint32_t> pixels;  // width * height, bottom-up; empty when not loaded
  int32_t width = 0;
  int32_t height = 0;

  bool Loaded() const { return !pixels.empty(); }
  // The pixel at display coordinates (x, y); the caller keeps them inside.
  uint32_t& At(int x, int y) { return pixels[static_cast<size_t>(height - 1 - y) * width + x]; }
  const uint32_t& At(int x, int y) const { return pixels[static_cast<size_t>(height - 1 - y) * width + x]; }
};

// An Image of the given size with every pixel set to colour.
Image MakeImage(int width, int height, uint32_t colour);

// Decodes a complete BMP file: 24-bit or 4-bit (16-colour table), bottom-up,
// uncompressed. Anything else, and any file whose headers point past its end
// or give an absurd size, yields an Image without pixels; nothing outside
// bmp is ever read. Every decoded pixel has alpha 255.
Image LoadBitmapResource(std::span<const uint8_t> bmp);
// The same for a picture of the resource store; an Image without pixels when
// the id is missing or its bytes are refused.
Image LoadBitmapResource(const ResourceStore& resources, int id);

}  // namespace rq4800
