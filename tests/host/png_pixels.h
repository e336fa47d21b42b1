#pragma once
// A PNG's pixels as 0xFFRRGGBB, top row first; empty when it cannot be read.
#include <png.h>

#include <string>
#include <vector>

namespace rq4800::test {

inline std::vector<uint32_t> ReadPng(const std::string& path, int* width, int* height) {
  png_image info{};
  info.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&info, path.c_str())) return {};
  info.format = PNG_FORMAT_BGRA;
  std::vector<uint32_t> pixels(static_cast<size_t>(info.width) * info.height);
  if (!png_image_finish_read(&info, nullptr, pixels.data(), 0, nullptr)) return {};
  *width = static_cast<int>(info.width);
  *height = static_cast<int>(info.height);
  return pixels;
}

}  // namespace rq4800::test
