#include "storage/download_file.h"

#include <cstdio>
#include <strings.h>

#include <vector>

#include "storage/device_name.h"

namespace rq4800 {

namespace {

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>& bytes) {
  FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return false;
  bytes.clear();
  uint8_t buffer[65536];
  size_t n;
  while ((n = std::fread(buffer, 1, sizeof buffer, file)) > 0) bytes.insert(bytes.end(), buffer, buffer + n);
  bool ok = !std::ferror(file);
  std::fclose(file);
  return ok;
}

}  // namespace

DownloadResult DownloadFile(Machine& machine, const std::string& path) {
  // A path without a folder names a file in the current folder.
  size_t slash = path.find_last_of("/\\");
  std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
  size_t dot = name.rfind('.');
  if (dot == std::string::npos) return download::Result(download::kNotAFileType);
  std::string extension = name.substr(dot);
  std::string stem = name.substr(0, dot);
  auto is = [&extension](const char* candidate) { return strcasecmp(extension.c_str(), candidate) == 0; };
  if (!is(".txt") && !is(".bin") && !is(".bas") && !is(".ski") && !is(".fls")) {
    return download::Result(download::kNotAFileType);
  }

  std::vector<uint8_t> data;
  if (!ReadWholeFile(path, data)) return download::Result(download::kUnreadable);

  FlashFileSystem& fs = machine.storage;
  if (is(".txt")) return fs.DownloadText(data.data(), data.size(), ToDeviceName(stem));
  if (is(".bin")) return fs.DownloadBin(data.data(), data.size());
  if (is(".bas")) return fs.DownloadNamed(data.data(), data.size(), ToGbkName(stem), "bas ", ".BAS");
  if (is(".ski")) return fs.DownloadNamed(data.data(), data.size(), ToDeviceName(stem), "udf ", ".SKI");
  if (!LoadFlashImageFile(machine, data.data(), data.size())) return download::Result(download::kBadImageSize);
  return {download::kOk, "flash image loaded"};
}

}  // namespace rq4800
