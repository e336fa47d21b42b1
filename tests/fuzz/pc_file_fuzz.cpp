// PC files and their names: a file with a fuzzed name and contents is
// written to a scratch folder and downloaded into the default image through
// the front ends' entry. The result must match the extension, the image must
// match the result, and a converted name must be one the device can show.
//
// Input: name length, name bytes, then the contents.
#include <strings.h>
#include <unistd.h>

#include <filesystem>
#include <memory>

#include "core/debug_log.h"
#include "storage/device_name.h"
#include "storage/download_file.h"
#include "tests/fuzz/flash_readback.h"
#include "tools/flashimage/default_flash_image.h"

using namespace rq4800;
using namespace rq4800::fuzz;

namespace {

// Big5 and GBK: ASCII, or a lead byte 0x81..0xFE and a trail byte 0x40..0xFE
// other than 0x7F. Big5 trails are narrower still, which GBK's include.
void CheckDoubleByteText(const std::string& s, bool big5) {
  for (size_t i = 0; i < s.size(); ++i) {
    const auto lead = static_cast<uint8_t>(s[i]);
    if (lead < 0x80) continue;
    FUZZ_REQUIRE(lead >= 0x81 && lead <= 0xFE && i + 1 < s.size());
    const auto trail = static_cast<uint8_t>(s[++i]);
    FUZZ_REQUIRE(big5 ? (trail >= 0x40 && trail <= 0x7E) || (trail >= 0xA1 && trail <= 0xFE)
                      : trail >= 0x40 && trail <= 0xFE && trail != 0x7F);
  }
}

// A name in plain ASCII is kept as it is, and no character takes more bytes
// than it had in UTF-8.
void CheckConversion(const std::string& utf8) {
  const std::string big5 = ToDeviceName(utf8), gbk = ToGbkName(utf8);
  CheckDoubleByteText(big5, true);
  CheckDoubleByteText(gbk, false);
  FUZZ_REQUIRE(big5.size() <= utf8.size() && gbk.size() <= utf8.size());
  bool ascii = true;
  for (char c : utf8) ascii = ascii && static_cast<uint8_t>(c) < 0x80;
  if (ascii) FUZZ_REQUIRE(big5 == utf8 && gbk == utf8);
}

// A folder of this process's own for the PC files, gone when it ends.
struct Scratch {
  std::filesystem::path folder;
  Scratch() {
    char pattern[] = "/tmp/rq4800-fuzz-XXXXXX";
    const char* made = mkdtemp(pattern);
    folder = made != nullptr ? made : "/tmp";
  }
  ~Scratch() {
    std::error_code ignored;
    if (folder != "/tmp") std::filesystem::remove_all(folder, ignored);
  }
};

const std::filesystem::path& ScratchFolder() {
  static const Scratch scratch;
  return scratch.folder;
}

}  // namespace

extern "C" int RQ4800_FUZZ_ENTRY(const uint8_t* data, size_t size) {
  static const DebugLogTarget quiet = SetDebugLogTarget(DiscardingTarget());
  (void)quiet;
  static ResourceStore resources = [] {
    ResourceStore r;
    r.useBuiltin = false;
    r.Replace(resource::kDefaultFlash, BuildDefaultFlashImage());
    return r;
  }();
  static Machine machine(resources);
  static std::unique_ptr<uint8_t[]> before(new uint8_t[kImageSize]);

  ByteReader in{data, size};
  std::string name = in.Take(in.Byte() % 48);
  const std::string contents = in.Rest();
  CheckConversion(name);

  // A file system name holds no '/' or NUL; everything else goes through.
  for (char& c : name)
    if (c == '/' || c == '\0') c = '_';
  if (name.empty() || name == "." || name == "..") return 0;
  const std::filesystem::path path = ScratchFolder() / name;
  FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return 0;
  std::fwrite(contents.data(), 1, contents.size(), file);
  std::fclose(file);

  std::memcpy(machine.bus.flash.get(), resources.Find(resource::kDefaultFlash).data(), kImageSize);
  std::memcpy(before.get(), machine.bus.flash.get(), kImageSize);
  const DownloadResult result = DownloadFile(machine, path.string());
  unlink(path.c_str());

  // The download takes a '\\' as a folder separator too, as in the device's
  // own (Windows) paths: the device name starts after the last one.
  const std::string last = name.substr(name.find_last_of('\\') == std::string::npos ? 0 : name.find_last_of('\\') + 1);
  const size_t dot = last.rfind('.');
  const std::string extension = dot == std::string::npos ? "" : last.substr(dot);
  const std::string stem = last.substr(0, dot);
  auto is = [&](const char* e) { return strcasecmp(extension.c_str(), e) == 0; };
  const uint8_t* after = machine.bus.flash.get();
  if (is(".fls")) {
    FUZZ_REQUIRE(result.code == (contents.size() == kImageSize ? 0 : -9));
    if (result.code != 0) FUZZ_REQUIRE(std::memcmp(before.get(), after, kImageSize) == 0);
    return 0;
  }
  FileToStore stored;
  if (is(".txt")) {
    stored = {"txt ", TextStreamOf(contents), ToDeviceName(stem), {}, false};
  } else if (is(".bin")) {
    stored = {"bin ", {contents.begin(), contents.end()}, {}, {}, true};
  } else if (is(".bas")) {
    stored = {"bas ", {contents.begin(), contents.end()}, ToGbkName(stem), ".BAS", false};
  } else if (is(".ski")) {
    stored = {"udf ", {contents.begin(), contents.end()}, ToDeviceName(stem), ".SKI", false};
  } else {
    FUZZ_REQUIRE(result.code == -8);
    FUZZ_REQUIRE(std::memcmp(before.get(), after, kImageSize) == 0);
    return 0;
  }
  CheckDownload(before.get(), after, result.code, stored);
  return 0;
}
