// Build-time tool: draws the program icon at the sizes a desktop's icon theme
// asks for and writes each as rq4800-<size>.png, for installation into the
// hicolor theme. The same drawing as the window's own icon, so the launcher
// and the window show one picture.
//   rq4800-icons OUTPUT_DIR SIZE...
#include <cstdio>
#include <cstdlib>
#include <string>

#include "host/image.h"
#include "host/png_writer.h"
#include "tools/artwork/skin_picture.h"

namespace {

using namespace rq4800;

// Below this the drawing's margins vanish; above it no theme asks.
constexpr int kSmallest = 16, kLargest = 1024;

Image ToImage(const artwork::Canvas& canvas) {
  Image image;
  image.width = canvas.width;
  image.height = canvas.height;
  image.pixels.resize(static_cast<size_t>(canvas.width) * canvas.height);
  for (int y = 0; y < canvas.height; ++y) {
    for (int x = 0; x < canvas.width; ++x) {
      const artwork::Rgb c = canvas.At(x, y);
      image.At(x, y) = 0xFF000000u | uint32_t{c.r} << 16 | uint32_t{c.g} << 8 | c.b;
    }
  }
  return image;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: rq4800-icons OUTPUT_DIR SIZE...\n");
    return 2;
  }
  for (int i = 2; i < argc; ++i) {
    const int size = std::atoi(argv[i]);
    if (size < kSmallest || size > kLargest) {
      std::fprintf(stderr, "rq4800-icons: size %s is not %d..%d\n", argv[i], kSmallest, kLargest);
      return 2;
    }
    const std::string path = std::string(argv[1]) + "/rq4800-" + std::to_string(size) + ".png";
    std::string error;
    if (!WritePng(path, ToImage(artwork::DrawProgramIcon(size)), &error)) {
      std::fprintf(stderr, "rq4800-icons: %s\n", error.c_str());
      return 1;
    }
  }
  return 0;
}
