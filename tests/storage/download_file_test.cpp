// DownloadFile on a machine: how a PC path picks the file name, the folder
// and the conversion, and the whole-image load.
#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <fstream>

#include "core/debug_log.h"
#include "storage/download_file.h"
#include "tools/flashimage/default_flash_image.h"

namespace rq4800 {
namespace {

namespace fsys = std::filesystem;
using Bytes = std::vector<uint8_t>;

struct DownloadFileTest : ::testing::Test {
  ResourceStore resources;
  std::unique_ptr<Machine> machine;
  fsys::path dir;

  void SetUp() override {
    resources.useBuiltin = false;
    machine = std::make_unique<Machine>(resources);
    Bytes image = BuildDefaultFlashImage();
    std::memcpy(machine->bus.flash.get(), image.data(), image.size());
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fsys::path(RQ4800_BINARY_DIR) / "test-scratch" / (std::string("DownloadFile.") + info->name());
    fsys::remove_all(dir);
    fsys::create_directories(dir);
  }
  std::string Write(const std::string& name, const Bytes& bytes) {
    fsys::path path = dir / name;  // bytes as given: UTF-8
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                static_cast<std::streamsize>(bytes.size()));
    return path.string();
  }
  Bytes Flash() const { return Bytes(machine->bus.flash.get(), machine->bus.flash.get() + 524288); }
  const uint8_t* Block(int block) const { return machine->bus.flash.get() + block * 512; }
  const ParsedRecord* Folder(const char* name) {
    machine->storage.Scan();
    return machine->storage.FindFolder(name);
  }
};

TEST_F(DownloadFileTest, ExtensionPicksTheFolderWhateverItsCase) {
  DebugLogCapture log;
  DownloadResult r = DownloadFile(*machine, Write("简体.TXT", {'o', 'k'}));
  ASSERT_TRUE(r.Ok()) << r.message;
  EXPECT_EQ(log.text, "start c000\n");  // the device's own line only
  ASSERT_TRUE(Folder("txt ")->HasIndexBlock());
  // Data 94, name 95 with the name in Big5 (簡體), index 96.
  EXPECT_EQ(Bytes(Block(95) + 3, Block(95) + 8), (Bytes{0xC2, 0xB2, 0xC5, 0xE9, ' '}));

  ASSERT_TRUE(DownloadFile(*machine, Write("game.Bin", Bytes(100, 0x4C))).Ok());
  EXPECT_EQ(Block(896)[0], 0x4C);

  ASSERT_TRUE(DownloadFile(*machine, Write("程序.bas", {'1', '0'})).Ok());
  const uint8_t* basIndex = Block(Folder("bas ")->IndexBlock());
  const uint8_t* basName = Block((basIndex[10] | basIndex[11] << 8) & 0x3FF);
  EXPECT_EQ(Bytes(basName + 3, basName + 11), (Bytes{0xB3, 0xCC, 0xD0, 0xF2, '.', 'B', 'A', 'S'}));  // GBK

  ASSERT_TRUE(DownloadFile(*machine, Write("测试.SKI", {1, 2, 3})).Ok());
  const uint8_t* udfIndex = Block(Folder("udf ")->IndexBlock());
  const uint8_t* skiName = Block((udfIndex[10] | udfIndex[11] << 8) & 0x3FF);
  EXPECT_EQ(Bytes(skiName + 3, skiName + 11), (Bytes{0xB4, 0xFA, 0xB8, 0xD5, '.', 'S', 'K', 'I'}));  // Big5
}

TEST_F(DownloadFileTest, NameIsTakenAfterTheLastSeparatorOfEitherKind) {
  // A backslash path: the name is "in.txt" (the file itself lies under a
  // name with a backslash, as a POSIX file system allows).
  fsys::path odd = dir / "folder\\in.txt";
  std::ofstream(odd, std::ios::binary) << "x";
  ASSERT_TRUE(DownloadFile(*machine, odd.string()).Ok());
  EXPECT_EQ(Bytes(Block(95) + 3, Block(95) + 6), (Bytes{'i', 'n', ' '}));

  // A bare name is a file of the current folder.
  fsys::path previous = fsys::current_path();
  fsys::current_path(dir);
  std::ofstream("here.txt", std::ios::binary) << "y";
  DownloadResult r = DownloadFile(*machine, "here.txt");
  fsys::current_path(previous);
  ASSERT_TRUE(r.Ok()) << r.message;
  EXPECT_EQ(Bytes(Block(98) + 3, Block(98) + 8), (Bytes{'h', 'e', 'r', 'e', ' '}));
}

TEST_F(DownloadFileTest, OtherFilesChangeNothingAndSayWhy) {
  fsys::create_directories(dir / "a.b");
  std::ofstream(dir / "a.b" / "README", std::ios::binary) << "text";
  Bytes before = Flash();
  DebugLogCapture log;
  EXPECT_EQ(DownloadFile(*machine, (dir / "a.b" / "README").string()).code, download::kNotAFileType);
  EXPECT_EQ(DownloadFile(*machine, Write("photo.png", {1})).code, download::kNotAFileType);
  EXPECT_EQ(DownloadFile(*machine, (dir / "missing.txt").string()).code, download::kUnreadable);
  EXPECT_EQ(DownloadFile(*machine, Write("empty.bin", {})).code, download::kEmptyFile);
  EXPECT_EQ(DownloadFile(*machine, Write("short.fls", Bytes(1000, 0))).code, download::kBadImageSize);
  EXPECT_EQ(Flash(), before);
  EXPECT_EQ(log.text, "");
}

TEST_F(DownloadFileTest, FlashImageReplacesTheWholeFlashAndResets) {
  Bytes image(524288);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>(i ^ (i >> 8));
  DebugLogCapture log;
  DownloadResult r = DownloadFile(*machine, Write("saved.FLS", image));
  ASSERT_TRUE(r.Ok()) << r.message;
  EXPECT_EQ(Flash(), image);
  EXPECT_NE(log.text.find("cold reset\n"), std::string::npos);
  EXPECT_EQ(machine->storage.image, machine->bus.flash.get());
}

}  // namespace
}  // namespace rq4800
