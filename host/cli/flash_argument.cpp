#include "host/cli/flash_argument.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <span>

#include "machine/resource_store.h"

namespace rq4800::cli {

bool ReadFlashArgument(const char* command, const std::string& path, std::vector<uint8_t>& image) {
  if (path.empty()) {
    std::span<const uint8_t> builtin = ResourceStore{}.Find(resource::kDefaultFlash);
    image.assign(builtin.begin(), builtin.end());
  } else {
    std::ifstream file(path, std::ios::binary);
    if (!file) {
      std::fprintf(stderr, "%s: cannot read %s\n", command, path.c_str());
      return false;
    }
    image.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
  if (image.size() != resource::kFlashImageSize) {
    std::fprintf(stderr, "%s: %s holds %zu bytes, a flash image holds %zu\n", command,
                 path.empty() ? "the default image" : path.c_str(), image.size(), resource::kFlashImageSize);
    return false;
  }
  return true;
}

}  // namespace rq4800::cli
