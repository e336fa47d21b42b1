#include "host/picture_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "host/paths.h"
#include "host/png_writer.h"

namespace rq4800 {

namespace {

// Past this many files of one second something else is wrong (a folder that
// makes every name exist); the search stops with a clear reason.
constexpr int kMaxNumber = 999;
constexpr int kMaxScale = 16;

}  // namespace

std::string DatedFileName(const LocalTime& when, std::string_view extension, int number) {
  char text[64];
  const int n = std::snprintf(text, sizeof text, "rq4800-%04d%02d%02d-%02d%02d%02d", when.year % 10000,
                              when.month % 100, when.day % 100, when.hour % 100, when.minute % 100, when.second % 100);
  if (number > 1 && n > 0 && n < static_cast<int>(sizeof text)) {
    std::snprintf(text + n, sizeof text - static_cast<size_t>(n), "-%d", number);
  }
  return std::string(text).append(extension);
}

std::string ReserveDatedFile(const std::string& folder, const LocalTime& when, std::string_view extension,
                             std::string* error) {
  for (int number = 1; number <= kMaxNumber; ++number) {
    const std::string path = JoinPath(folder, DatedFileName(when, extension, number));
    // "x": the open fails when the name exists, so nothing is ever truncated.
    if (std::FILE* file = std::fopen(path.c_str(), "wbx")) {
      std::fclose(file);
      return path;
    }
    if (errno != EEXIST) {
      if (error) *error = "cannot create " + path + ": " + std::strerror(errno);
      return {};
    }
  }
  if (error) *error = "cannot create a new file in " + folder + ": every name of this second is taken";
  return {};
}

Image ScaleImage(const Image& image, int factor) {
  if (!image.Loaded() || factor < 1 || factor > kMaxScale) return {};
  Image out;
  out.width = image.width * factor;
  out.height = image.height * factor;
  out.pixels.resize(static_cast<size_t>(out.width) * out.height);
  for (int y = 0; y < out.height; ++y) {
    for (int x = 0; x < out.width; ++x) out.At(x, y) = image.At(x / factor, y / factor);
  }
  return out;
}

Image CropImage(const Image& image, int x, int y, int w, int h) {
  if (!image.Loaded() || w <= 0 || h <= 0 || x < 0 || y < 0 || x + w > image.width || y + h > image.height) {
    return {};
  }
  Image out = MakeImage(w, h, 0);
  for (int j = 0; j < h; ++j) {
    for (int i = 0; i < w; ++i) out.At(i, j) = image.At(x + i, y + j);
  }
  return out;
}

bool SaveScreenshot(const std::string& folder, const Image& picture, int scale, const LocalTime& when,
                    std::string* path, std::string* error) {
  const Image scaled = ScaleImage(picture, scale);
  if (!scaled.Loaded()) {
    if (error) *error = "no picture to write at scale " + std::to_string(scale);
    return false;
  }
  const std::string reserved = ReserveDatedFile(folder, when, ".png", error);
  if (reserved.empty()) return false;
  // The writer removes its file when it fails, the reserved name included.
  if (!WritePng(reserved, scaled, error)) return false;
  if (path) *path = reserved;
  return true;
}

}  // namespace rq4800
