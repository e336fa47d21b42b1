// Flash images: the default image with damage patched in, then scans,
// reports and downloads of every kind, each judged by reading the image back.
//
// Input: up to 12 operations, each a kind byte and its arguments: a report;
// a download (size, a pattern repeated to that size, a name); or damage to
// the image (bytes in the core area or anywhere, block-table entries erased,
// an index block filled with records).
#include <memory>

#include "core/debug_log.h"
#include "storage/flash_file_system.h"
#include "tests/fuzz/flash_readback.h"
#include "tools/flashimage/default_flash_image.h"

using namespace rq4800;
using namespace rq4800::fuzz;

namespace {

void CheckReport(FlashFileSystem& fs) {
  const std::string report = fs.FlashInfoReport();
  int free = 0;
  for (int b = 0; b < 1024; ++b) free += IsFree(fs.image, b);
  char line[48];
  std::snprintf(line, sizeof line, "Core at %04X\n", CoreOf(fs.image));
  FUZZ_REQUIRE(report.rfind(line, 0) == 0);
  std::snprintf(line, sizeof line, free % 2 ? "Free space %d.5KB\n" : "Free space %dKB\n", free / 2);
  FUZZ_REQUIRE(report.find(line) != std::string::npos);
  FUZZ_REQUIRE(fs.freeBlockCount == free);
  size_t banks = 0;
  for (size_t at = report.find("Bank "); at != std::string::npos; at = report.find("Bank ", at + 1)) ++banks;
  FUZZ_REQUIRE(banks == 16);
}

std::string Pattern(ByteReader& in, size_t size) {
  const std::string unit = in.Take(in.Byte() % 48);
  std::string s(size, '\0');
  if (!unit.empty())
    for (size_t i = 0; i < size; ++i) s[i] = unit[i % unit.size()];
  return s;
}

// Damage as a worn or half-written flash has it.
void Damage(ByteReader& in, uint8_t* image) {
  switch (in.Byte() % 4) {
    case 0:
    case 1: {  // bytes: in the core area (tables, directory), or anywhere
      const bool anywhere = in.Byte() & 1;
      const unsigned where = in.U24();
      const size_t offset = anywhere ? where % kImageSize : 0x4000 + where % 0x3800;
      const std::string bytes = in.Take(1 + in.Byte() % 24);
      std::memcpy(image + offset, bytes.data(), std::min(bytes.size(), kImageSize - offset));
      break;
    }
    case 2: {  // block-table entries erased: used blocks that read as free
      const int first = static_cast<int>(in.U16() % 1024);
      const int count = std::min(1 + in.Byte() % 16, 1024 - first);
      std::memset(image + EntryOffset(image, first), 0xFF, 3 * static_cast<size_t>(count));
      break;
    }
    default: {  // a block filled with file records from its start
      const int block = static_cast<int>(in.U16() % 1024);
      const int count = in.Byte() % 33;
      for (int i = 0; i < count; ++i) {
        uint8_t* r = image + block * kBlock + 16 * i;
        std::memset(r, 0, 16);
        r[0] = 0xF1;
        r[5] = 0x07;
      }
      break;
    }
  }
}

}  // namespace

extern "C" int RQ4800_FUZZ_ENTRY(const uint8_t* data, size_t size) {
  static const std::vector<uint8_t> defaultImage = BuildDefaultFlashImage();
  static const DebugLogTarget quiet = SetDebugLogTarget(DiscardingTarget());
  (void)quiet;
  static std::unique_ptr<uint8_t[]> image(new uint8_t[kImageSize]);
  static std::unique_ptr<uint8_t[]> before(new uint8_t[kImageSize]);
  std::memcpy(image.get(), defaultImage.data(), kImageSize);

  ByteReader in{data, size};
  FlashFileSystem fs;
  fs.image = image.get();
  CheckReport(fs);
  for (int operations = 0; !in.Empty() && operations < 12; ++operations) {
    const int kind = in.Byte() % 6;
    if (kind == 0) {
      CheckReport(fs);
      continue;
    }
    if (kind == 5) {
      Damage(in, image.get());
      continue;
    }
    const size_t length = kind == 1 ? in.U16() * 4 + in.Byte() : in.U16() % 4096;
    const std::string content = Pattern(in, length);
    const std::string name = in.Take(in.Byte() % 20);
    const auto* bytes = reinterpret_cast<const uint8_t*>(content.data());
    std::memcpy(before.get(), image.get(), kImageSize);
    FileToStore file;
    DownloadResult result;
    if (kind == 1) {
      file = {"bin ", {content.begin(), content.end()}, {}, {}, true};
      result = fs.DownloadBin(bytes, content.size());
    } else if (kind == 2) {
      file = {"txt ", TextStreamOf(content), name, {}, false};
      result = fs.DownloadText(bytes, content.size(), name);
    } else {
      const bool basic = kind == 3;
      file = {basic ? "bas " : "udf ", {content.begin(), content.end()}, name, basic ? ".BAS" : ".SKI", false};
      result = fs.DownloadNamed(bytes, content.size(), name, file.folder, file.extension);
    }
    FUZZ_REQUIRE(result.message != nullptr && result.message[0] != '\0');
    CheckDownload(before.get(), image.get(), result.code, file);
  }
  return 0;
}
