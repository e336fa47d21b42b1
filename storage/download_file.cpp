#include "storage/download_file.h"

#include <strings.h>

#include "core/debug_log.h"
#include "core/file_io.h"
#include "storage/device_name.h"

namespace rq4800 {

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

  const FileRead file = ReadInputFile(path, kMaxPcFileBytes);
  if (file.status == ReadStatus::kTooLarge) {
    // What the device would answer for a file of that length: no image is
    // larger than the flash, no bank run longer, no record field wider.
    if (is(".fls")) return download::Result(download::kBadImageSize);
    return download::Result(is(".bin") ? download::kNoSpace : download::kTooLarge);
  }
  if (!file.ok()) {
    ReportProblem("%s\n", file.error.c_str());
    return download::Result(download::kUnreadable);
  }
  const std::vector<uint8_t>& data = file.bytes;

  FlashFileSystem& fs = machine.storage;
  if (is(".txt")) return fs.DownloadText(data.data(), data.size(), ToDeviceName(stem));
  if (is(".bin")) return fs.DownloadBin(data.data(), data.size());
  if (is(".bas")) return fs.DownloadNamed(data.data(), data.size(), ToGbkName(stem), "bas ", ".BAS");
  if (is(".ski")) return fs.DownloadNamed(data.data(), data.size(), ToDeviceName(stem), "udf ", ".SKI");
  if (!LoadFlashImageFile(machine, data.data(), data.size())) return download::Result(download::kBadImageSize);
  return {download::kOk, "flash image loaded"};
}

std::string DescribeDownloadResult(const DownloadResult& result) {
  std::string line = result.message;
  if (result.replaced > 0) line += "; characters GBK lacks, stored as '?': " + std::to_string(result.replaced);
  if (!result.Ok()) line += " (" + std::to_string(result.code) + ")";
  return line;
}

}  // namespace rq4800
