#include "host/cli/flash_argument.h"

#include <span>
#include <utility>

#include "core/debug_log.h"
#include "core/file_io.h"
#include "machine/resource_store.h"

namespace rq4800::cli {

bool ReadFlashArgument(const char* command, const std::string& path, std::vector<uint8_t>& image) {
  if (path.empty()) {
    std::span<const uint8_t> builtin = ResourceStore{}.Find(resource::kDefaultFlash);
    image.assign(builtin.begin(), builtin.end());
    if (image.size() == resource::kFlashImageSize) return true;
    ReportProblem("%s: the default image holds %zu bytes, a flash image holds %zu\n", command, image.size(),
                  resource::kFlashImageSize);
    return false;
  }
  FileRead file = ReadImageFile(path, resource::kFlashImageSize);
  if (!file.ok()) {
    ReportProblem("%s: --flash: %s\n", command, file.error.c_str());
    return false;
  }
  image = std::move(file.bytes);
  return true;
}

}  // namespace rq4800::cli
