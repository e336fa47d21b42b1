// The default flash image the program carries: its report, the first
// downloads into it, PC files downloaded through DownloadFile, and mutated
// images that must stay harmless.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <functional>
#include <fstream>
#include <random>

#include "core/debug_log.h"
#include "storage/download_file.h"
#include "storage/flash_file_system.h"
#include "tests/storage/flash_builder.h"
#include "tools/flashimage/default_flash_image.h"

namespace rq4800 {
namespace {

namespace fsys = std::filesystem;
using Bytes = std::vector<uint8_t>;

struct DefaultImage : ::testing::Test {
  Bytes image = BuildDefaultFlashImage();
  FlashFileSystem fs{.image = image.data()};
  Bytes EntryBytes(int block, int n = 3) { return Bytes(&image[0x4400 + 3 * block], &image[0x4400 + 3 * block + n]); }
  unsigned U16(size_t offset) const { return image[offset] | image[offset + 1] << 8; }
  Bytes StatusAndIndexField(const char* folder) {  // read from the folder's record
    for (size_t r = 0x5000; r < 0x5800 && image[r] != 0xFF; r += 16) {
      if (std::memcmp(&image[r + 1], folder, 4) == 0) return {image[r], image[r + 8], image[r + 9]};
    }
    return {};
  }
};

TEST_F(DefaultImage, ReportShowsCoreRegionSerialFreeSpaceAndBankMaps) {
  std::string expected = "Core at 4000\nRq_480(简)\n序列号 2026-480001\nFree space 453KB\nBank 0 full\nBank 1\n"
                         "xxxxxxxx xxxxxxxx xxxxxxxx xxxxxx..\n........ ........ ........ ........\n";
  for (int bank = 2; bank <= 14; ++bank) expected += "Bank " + std::to_string(bank) + " free\n";
  expected += "Bank 15\n........ ........ ........ ........\n........ xxxxxxxx xxxxxxxx xxxxxxxx\n";
  DebugLogCapture log;
  fs.PrintInfo();
  EXPECT_EQ(log.text, expected);
}

TEST_F(DefaultImage, FirstProgramGoesToBank14WithIndexBlock94) {
  Bytes program(32768);
  for (size_t i = 0; i < program.size(); ++i) program[i] = static_cast<uint8_t>(i * 7 + 1);
  EXPECT_EQ(StatusAndIndexField("bin "), (Bytes{0xB7, 0xFF, 0xFF}));
  DebugLogCapture log;
  ASSERT_TRUE(fs.DownloadBin(program.data(), program.size()).Ok());
  EXPECT_EQ(log.text, "start bc00\n");
  EXPECT_EQ(StatusAndIndexField("bin "), (Bytes{0xB5, 94, 0x1C}));
  EXPECT_EQ(EntryBytes(94), (Bytes{0xFF, 0xFB, 0xE6}));
  EXPECT_EQ(U16(94 * 512 + 8), 0x1C00u | 896);
  EXPECT_EQ(Bytes(image.begin() + 0x70000, image.begin() + 0x78000), program);
  EXPECT_EQ(EntryBytes(959), (Bytes{0xFF, 0xEF, 0xE7}));
  EXPECT_EQ(image[0x78000], 0xFF);  // bank 15 untouched
}

TEST_F(DefaultImage, FirstTextTakesTheRunFromBlock94) {
  Bytes text(1000, 'a');  // 1007 stored bytes: two data blocks
  DebugLogCapture log;
  ASSERT_TRUE(fs.DownloadText(text.data(), text.size(), "first").Ok());
  EXPECT_EQ(log.text, "start c200\n");  // index block 97
  EXPECT_EQ(StatusAndIndexField("txt "), (Bytes{0xB5, 97, 0x1C}));
  EXPECT_EQ(U16(97 * 512 + 8), 0x1C00u | 94);
  EXPECT_EQ(U16(97 * 512 + 10), 0x1C00u | 96);
  EXPECT_EQ(EntryBytes(94, 9), (Bytes{95, 0xF0, 0xE0, 0xFF, 0xF3, 0xE7, 0xFF, 0xF7, 0xE6}));  // data, data, name
  EXPECT_EQ(image[96 * 512 + 3], 'f');
}

TEST_F(DefaultImage, ThirtyThirdFileInAFolderIsRefused) {
  Bytes text = {'h', 'i', '\r', '\n'};
  for (int i = 1; i <= 32; ++i) ASSERT_EQ(fs.DownloadText(text.data(), text.size(), "note").code, 0) << i;
  EXPECT_EQ(std::string(&image[96 * 512 + 1], &image[96 * 512 + 5]), "0001");
  EXPECT_EQ(std::string(&image[96 * 512 + 31 * 16 + 1], &image[96 * 512 + 31 * 16 + 5]), "0032");
  Bytes before = image;
  EXPECT_EQ(fs.DownloadText(text.data(), text.size(), "note").code, download::kFolderFull);
  EXPECT_EQ(image, before);
  EXPECT_TRUE(fs.DownloadNamed(text.data(), text.size(), "PRG", "bas ", ".BAS").Ok());  // other folders take files
}

// The first blocks of the core area (header, start of the block table) called
// free: each download still goes where it would on the intact image.
TEST_F(DefaultImage, BlockTableThatCallsTheCoreAreaFreeIsNeverWrittenOver) {
  std::fill(&image[0x4460], &image[0x4469], 0xFF);  // entries of blocks 32..34
  const Bytes header(&image[0x4000], &image[0x4400]);
  Bytes text(1000, 'a'), program(100, 0xEA);
  const struct { const char* folder; std::function<DownloadResult()> download; const char* start; } steps[] = {
      {"txt ", [&] { return fs.DownloadText(text.data(), text.size(), "first"); }, "start c200\n"},
      {"bin ", [&] { return fs.DownloadBin(program.data(), program.size()); }, "start c400\n"},
      {"bas ", [&] { return fs.DownloadNamed(text.data(), 10, "PRG", "bas ", ".BAS"); }, "start ca00\n"},
  };
  for (const auto& step : steps) {
    SCOPED_TRACE(step.folder);
    const auto before = test::ReadBack(image);
    DebugLogCapture log;
    ASSERT_EQ(step.download().code, 0);
    EXPECT_EQ(log.text, step.start);
    test::ExpectOthersKept(before, test::ReadBack(image), step.folder);
  }
  EXPECT_EQ(Bytes(&image[0x4000], &image[0x4400]), header);
  EXPECT_EQ(EntryBytes(32, 9), Bytes(9, 0xFF));  // left as found
  const Bytes stored = test::ReadBack(image)["txt "].files.at(0);  // the name block, then the text stream
  EXPECT_EQ(Bytes(stored.begin() + 512, stored.end()), BuildTextStream(text.data(), text.size()));
}

// A machine with the default image, where each text-like file takes its data
// block, then its name block, then (the first in a folder) the index block.
struct DownloadFileTest : ::testing::Test {
  ResourceStore resources;
  std::unique_ptr<Machine> machine;
  fsys::path dir;
  void SetUp() override {
    resources.useBuiltin = false;
    machine = std::make_unique<Machine>(resources);
    std::memcpy(machine->bus.flash.get(), BuildDefaultFlashImage().data(), 524288);
    dir = fsys::path(RQ4800_BINARY_DIR "/test-scratch") / testing::UnitTest::GetInstance()->current_test_info()->name();
    fsys::remove_all(dir);
    fsys::create_directories(dir / "a.b");
  }
  std::string Write(const std::string& name, const std::string& bytes) {
    std::ofstream(dir / name, std::ios::binary) << bytes;
    return (dir / name).string();
  }
  Bytes Flash(size_t at = 0, size_t n = 524288) const {
    return Bytes(machine->bus.flash.get() + at, machine->bus.flash.get() + at + n);
  }
  Bytes StoredName(int block, size_t n) const { return Flash(block * 512 + 3, n); }
};

TEST_F(DownloadFileTest, ExtensionPicksTheFolderWhateverItsCase) {
  DebugLogCapture log;
  ASSERT_TRUE(DownloadFile(*machine, Write("简体.TXT", "ok")).Ok());
  EXPECT_EQ(log.text, "start c000\n");  // the device's own line only
  EXPECT_EQ(StoredName(95, 5), (Bytes{0xC2, 0xB2, 0xC5, 0xE9, ' '}));  // 簡體 in Big5
  ASSERT_TRUE(DownloadFile(*machine, Write("game.Bin", "L")).Ok());  // index block 97, bank 14
  EXPECT_EQ(Flash(896 * 512, 2), (Bytes{'L', 0xFF}));
  ASSERT_TRUE(DownloadFile(*machine, Write("程序.bas", "10")).Ok());
  EXPECT_EQ(StoredName(99, 8), (Bytes{0xB3, 0xCC, 0xD0, 0xF2, '.', 'B', 'A', 'S'}));  // GBK
  ASSERT_TRUE(DownloadFile(*machine, Write("测试.SKI", "\1\2\3")).Ok());
  EXPECT_EQ(StoredName(102, 8), (Bytes{0xB4, 0xFA, 0xB8, 0xD5, '.', 'S', 'K', 'I'}));  // Big5
}

TEST_F(DownloadFileTest, NameIsTakenAfterTheLastSeparatorOrIsTheWholePath) {
  // "folder\in.txt" is a file name on POSIX; the device name is "in".
  ASSERT_TRUE(DownloadFile(*machine, Write("folder\\in.txt", "x")).Ok());
  EXPECT_EQ(StoredName(95, 3), (Bytes{'i', 'n', ' '}));
  Write("here.txt", "y");
  fsys::path previous = fsys::current_path();
  fsys::current_path(dir);
  DownloadResult r = DownloadFile(*machine, "here.txt");  // a file of the current folder
  fsys::current_path(previous);
  ASSERT_TRUE(r.Ok()) << r.message;
  EXPECT_EQ(StoredName(98, 5), (Bytes{'h', 'e', 'r', 'e', ' '}));
}

TEST_F(DownloadFileTest, OtherFilesChangeNothingAndSayWhy) {
  Bytes before = Flash();
  DebugLogCapture log;
  EXPECT_EQ(DownloadFile(*machine, Write("a.b/README", "text")).code, download::kNotAFileType);
  EXPECT_EQ(DownloadFile(*machine, Write("photo.png", "\1")).code, download::kNotAFileType);
  EXPECT_EQ(DownloadFile(*machine, (dir / "missing.txt").string()).code, download::kUnreadable);
  EXPECT_EQ(DownloadFile(*machine, Write("empty.bin", "")).code, download::kEmptyFile);
  EXPECT_EQ(DownloadFile(*machine, Write("short.fls", std::string(1000, '\0'))).code, download::kBadImageSize);
  EXPECT_EQ(Flash(), before);
  EXPECT_EQ(log.text, "");
}

// Random images, then bit flips where the tables live (both core positions,
// the first banks' index blocks) and anywhere, through the scan, the report,
// the searches and every download. The sanitizer build catches any access
// outside the image; the checks catch the parsed view leaving its ranges.
TEST(HostileImage, RandomAndBitFlippedImagesStayInsideTheImage) {
  std::mt19937 rng(20240611);
  Bytes payload(70000), base = BuildDefaultFlashImage(), image(524288);
  for (uint8_t& b : payload) b = static_cast<uint8_t>(rng());
  DebugLogCapture log;  // the "start" lines
  int stored = 0;
  for (int round = 0; round < 3100; ++round) {
    if (round < 100) {  // random bytes, every other image with the mark
      std::generate(image.begin(), image.end(), [&] { return static_cast<uint8_t>(rng()); });
      if (round % 2) image[0x4000] = '*';
    } else {
      if (round % 10 != 0) image = base;  // else pile up on the earlier downloads
      for (int n = 1 + static_cast<int>(rng() % 64); n > 0; --n) {
        const size_t at[] = {0x4000 + rng() % 0x1800, 0x6000 + rng() % 0x1800, 0x8000 + rng() % 0x8000,
                             rng() % image.size()};
        image[at[rng() % 4]] ^= static_cast<uint8_t>(1 << rng() % 8);
      }
      if (rng() % 8 == 0) image[0x4000] = rng() % 2 ? '*' : 0x00;
      if (rng() % 4 == 0) {  // the table calls up to three blocks of the core area free
        const size_t block = 32 + rng() % 10;
        std::memset(&image[0x4400 + 3 * block], 0xFF, 3 * (1 + rng() % 3));
      }
    }
    FlashFileSystem fs{.image = image.data()};
    const size_t core = image[0x4000] == '*' ? 0x4000 : 0x6000;
    const Bytes header(&image[core], &image[core + 0x400]);  // no download may write over it
    EXPECT_EQ(fs.FlashInfoReport().rfind("Core at ", 0), 0u);
    EXPECT_TRUE(fs.freeBlockCount >= 0 && fs.freeBlockCount <= 1024 && fs.folderCount <= 128);
    std::vector<int> out;
    int found = fs.FindFree(1 + static_cast<int>(rng() % 40), out, false);
    EXPECT_EQ(found, static_cast<int>(out.size()));
    for (int b : out) EXPECT_TRUE(b >= 0 && b < 1024 && fs.blocks[b].free);
    EXPECT_LE(fs.FindFree(1 + static_cast<int>(rng() % 4), out, true), 16);
    std::string name(rng() % 40, '\xA4');
    for (const DownloadResult& r : {fs.DownloadBin(payload.data(), 1 + rng() % payload.size()),
                                    fs.DownloadText(payload.data(), rng() % 3000, name),
                                    fs.DownloadNamed(payload.data(), 1 + rng() % 3000, name, "bas ", ".BAS"),
                                    fs.DownloadNamed(payload.data(), 1 + rng() % 3000, name, "udf ", ".SKI")}) {
      EXPECT_TRUE(r.code == 0 || r.code == download::kNoFolder || (r.code <= -3 && r.code >= -6) ||
                  r.code == download::kNoSafeSpace) << r.code;
      stored += r.Ok() && round >= 100;
    }
    EXPECT_TRUE(Bytes(&image[core], &image[core + 0x400]) == header);
    fs.FlashInfoReport();  // over what the downloads wrote
    if (HasFailure()) return;
  }
  EXPECT_GT(stored, 3000);  // most mutated images still take files, so the writing paths ran
}

}  // namespace
}  // namespace rq4800
