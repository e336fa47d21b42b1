#include "host/png_writer.h"

#include <png.h>

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <vector>

namespace rq4800 {

namespace {

void SetError(std::string* error, std::string text) {
  if (error) *error = std::move(text);
}

// libpng reports failure by longjmp back into WritePng; its message is kept here first.
void OnPngError(png_structp png, png_const_charp message) {
  auto* text = static_cast<std::string*>(png_get_error_ptr(png));
  if (text) *text = message;
  png_longjmp(png, 1);
}

void OnPngWarning(png_structp, png_const_charp) {}

// Everything setjmp must not see change lives outside the function that calls it.
bool WriteRows(png_structp png, png_infop info, const Image& image, std::vector<uint8_t>& row) {
  if (setjmp(png_jmpbuf(png))) return false;
  png_set_IHDR(png, info, static_cast<png_uint_32>(image.width), static_cast<png_uint_32>(image.height), 8,
               PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE, PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
  png_write_info(png, info);
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      const uint32_t pixel = image.At(x, y);
      row[3 * x] = static_cast<uint8_t>(pixel >> 16);
      row[3 * x + 1] = static_cast<uint8_t>(pixel >> 8);
      row[3 * x + 2] = static_cast<uint8_t>(pixel);
    }
    png_write_row(png, row.data());
  }
  png_write_end(png, info);
  return true;
}

}  // namespace

bool WritePng(const std::string& path, const Image& image, std::string* error) {
  if (!image.Loaded() || image.width <= 0 || image.height <= 0) {
    SetError(error, "no picture to write");
    return false;
  }
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) {
    SetError(error, path + ": " + std::strerror(errno));
    return false;
  }
  std::string pngMessage;
  png_structp png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &pngMessage, OnPngError, OnPngWarning);
  png_infop info = png ? png_create_info_struct(png) : nullptr;
  std::vector<uint8_t> row(static_cast<size_t>(image.width) * 3);
  bool ok = png && info;
  if (ok) {
    png_init_io(png, file);
    ok = WriteRows(png, info, image, row);
  }
  png_destroy_write_struct(png ? &png : nullptr, info ? &info : nullptr);
  ok = std::fclose(file) == 0 && ok;
  if (!ok) {
    std::remove(path.c_str());
    SetError(error, path + ": " + (pngMessage.empty() ? std::string("write failed") : pngMessage));
  }
  return ok;
}

}  // namespace rq4800
