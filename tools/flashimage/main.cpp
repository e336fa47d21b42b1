// Build-time tool: writes the default flash image the program embeds.
//   rq4800-flashimage OUTPUT
#include <cstdio>

#include "tools/flashimage/default_flash_image.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: rq4800-flashimage OUTPUT\n");
    return 2;
  }
  std::vector<uint8_t> image = rq4800::BuildDefaultFlashImage();
  FILE* file = std::fopen(argv[1], "wb");
  if (!file) {
    std::fprintf(stderr, "rq4800-flashimage: cannot write %s\n", argv[1]);
    return 1;
  }
  bool ok = std::fwrite(image.data(), 1, image.size(), file) == image.size();
  ok = std::fclose(file) == 0 && ok;
  if (!ok) std::fprintf(stderr, "rq4800-flashimage: cannot write %s\n", argv[1]);
  return ok ? 0 : 1;
}
