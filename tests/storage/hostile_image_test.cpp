// Flash images can come from a user's file and hold anything. Random and
// bit-flipped images go through the scan, the report and every download; the
// sanitizer build turns any access outside the image into a failure, and the
// checks below catch the parsed view drifting out of its ranges.
#include <gtest/gtest.h>

#include <cstring>
#include <random>

#include "core/debug_log.h"
#include "storage/flash_file_system.h"
#include "tools/flashimage/default_flash_image.h"

namespace rq4800 {
namespace {

using Bytes = std::vector<uint8_t>;

bool KnownCode(int code) {
  switch (code) {
    case download::kOk:
    case download::kNoFolder:
    case download::kNoSpace:
    case download::kFolderFull:
    case download::kTooLarge:
    case download::kEmptyFile:
      return true;
    default:
      return false;
  }
}

// Flips bits where the tables live (both core positions, the first banks'
// index blocks) and a few anywhere.
void Mutate(Bytes& image, std::mt19937& rng) {
  std::uniform_int_distribution<int> flips(1, 64);
  std::uniform_int_distribution<int> region(0, 3);
  std::uniform_int_distribution<int> bit(0, 7);
  int n = flips(rng);
  for (int i = 0; i < n; ++i) {
    size_t offset;
    switch (region(rng)) {
      case 0: offset = 0x4000 + rng() % 0x1800; break;
      case 1: offset = 0x6000 + rng() % 0x1800; break;
      case 2: offset = 0x8000 + rng() % 0x8000; break;
      default: offset = rng() % image.size(); break;
    }
    image[offset] ^= static_cast<uint8_t>(1 << bit(rng));
  }
  if (rng() % 8 == 0) image[0x4000] = rng() % 2 ? '*' : 0x00;
}

// Returns how many of the downloads were stored.
int Exercise(Bytes& image, std::mt19937& rng, const Bytes& payload) {
  FlashFileSystem fs;
  fs.image = image.data();
  std::string report = fs.FlashInfoReport();
  EXPECT_EQ(report.rfind("Core at ", 0), 0u);
  EXPECT_GE(fs.freeBlockCount, 0);
  EXPECT_LE(fs.freeBlockCount, 1024);
  EXPECT_LE(fs.folderCount, 128);

  std::vector<int> out;
  int want = 1 + static_cast<int>(rng() % 40);
  int got = fs.FindFree(want, out, false);
  EXPECT_EQ(static_cast<int>(out.size()), got);
  for (int b : out) EXPECT_TRUE(b >= 0 && b < 1024 && fs.blocks[b].free);
  got = fs.FindFree(1 + static_cast<int>(rng() % 4), out, true);
  EXPECT_LE(got, 16);

  size_t binSize = 1 + rng() % payload.size();
  size_t textSize = rng() % 3000;
  size_t namedSize = 1 + rng() % 3000;
  std::string name(rng() % 40, static_cast<char>(0xA4));
  DownloadResult results[] = {
      fs.DownloadBin(payload.data(), binSize),
      fs.DownloadText(payload.data(), textSize, name),
      fs.DownloadNamed(payload.data(), namedSize, name, "bas ", ".BAS"),
      fs.DownloadNamed(payload.data(), namedSize, name, "udf ", ".SKI"),
  };
  for (const DownloadResult& r : results) EXPECT_TRUE(KnownCode(r.code)) << r.code;
  // A download that succeeded left its folder an index block.
  if (results[1].Ok()) {
    fs.Scan();
    const ParsedRecord* txt = fs.FindFolder("txt ");
    EXPECT_TRUE(txt && txt->HasIndexBlock());
  }
  fs.FlashInfoReport();
  int stored = 0;
  for (const DownloadResult& r : results) stored += r.Ok();
  return stored;
}

TEST(HostileImage, RandomAndBitFlippedImagesStayInsideTheImage) {
  std::mt19937 rng(20240611);
  Bytes payload(70000);
  for (uint8_t& b : payload) b = static_cast<uint8_t>(rng());
  const Bytes base = BuildDefaultFlashImage();
  DebugLogCapture log;  // the "start" lines

  for (int round = 0; round < 300; ++round) {
    Bytes image(524288);
    for (size_t i = 0; i < image.size(); i += 4) {
      uint32_t v = static_cast<uint32_t>(rng());
      std::memcpy(&image[i], &v, 4);
    }
    if (round % 2) image[0x4000] = '*';
    Exercise(image, rng, payload);
    if (HasFailure()) return;
  }
  Bytes image = base;
  int stored = 0;
  for (int round = 0; round < 3000; ++round) {
    // Mostly fresh mutations of the default image, sometimes piling up on
    // what the earlier downloads wrote.
    if (round % 10 != 0) image = base;
    Mutate(image, rng);
    stored += Exercise(image, rng, payload);
    if (HasFailure()) return;
  }
  // Most mutated images still take files, so the writing paths ran too.
  EXPECT_GT(stored, 3000);
}

TEST(HostileImage, WholeDirectoryOfLookalikeFoldersAndFullIndexBlocks) {
  // Every folder record present and named as the downloads look for, every
  // index field pointing at the last block, a full index block there.
  Bytes image(524288, 0xFF);
  image[0x4000] = '*';
  const char* names[] = {"bin ", "txt ", "bas ", "udf "};
  for (int i = 0; i < 128; ++i) {
    uint8_t* r = &image[0x5000 + 16 * static_cast<size_t>(i)];
    r[0] = 0xB5;
    std::memcpy(r + 1, names[i % 4], 4);
    r[8] = 0xFF;
    r[9] = 0xFB;  // block 1023 with high garbage bits
  }
  for (int k = 0; k < 32; ++k) image[1023 * 512 + 16 * static_cast<size_t>(k)] = 0xF1;
  image[0x4400 + 3 * 1023 + 2] = 0xE6;  // block 1023 used
  FlashFileSystem fs;
  fs.image = image.data();
  Bytes data(1000, 0x33);
  DebugLogCapture log;
  EXPECT_EQ(fs.DownloadText(data.data(), data.size(), "t").code, download::kFolderFull);
  EXPECT_EQ(fs.DownloadBin(data.data(), data.size()).code, download::kFolderFull);
  EXPECT_EQ(fs.DownloadNamed(data.data(), data.size(), "n", "udf ", ".SKI").code, download::kFolderFull);
  EXPECT_EQ(log.text, "start 7fe00\nstart 7fe00\nstart 7fe00\n");
}

}  // namespace
}  // namespace rq4800
