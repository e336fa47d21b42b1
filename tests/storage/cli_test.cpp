// rq4800-cli info and download, run as the user runs them.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "storage/flash_file_system.h"
#include "tools/flashimage/default_flash_image.h"

namespace rq4800 {
namespace {

namespace fsys = std::filesystem;
using Bytes = std::vector<uint8_t>;

struct CliRun {
  int status = -1;
  std::string out;
};

struct CliTest : ::testing::Test {
  fsys::path dir;
  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir = fsys::path(RQ4800_BINARY_DIR) / "test-scratch" / (std::string("Cli.") + info->name());
    fsys::remove_all(dir);
    fsys::create_directories(dir);
  }
  // Runs the program with arguments (already quoted as needed) in dir.
  CliRun Cli(const std::string& arguments) {
    std::string command = "cd '" + dir.string() + "' && '" RQ4800_BINARY_DIR "/host/cli/rq4800-cli' " + arguments +
                          " 2>/dev/null";
    CliRun run;
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe) return run;
    char buffer[4096];
    size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
    int status = pclose(pipe);
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return run;
  }
  void Write(const std::string& name, const Bytes& bytes) {
    std::ofstream(dir / name, std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  }
  Bytes Read(const std::string& name) {
    std::ifstream file(dir / name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  }
};

TEST_F(CliTest, InfoPrintsTheReportOfTheDefaultImageOrAFile) {
  Bytes image = BuildDefaultFlashImage();
  FlashFileSystem fs;
  fs.image = image.data();
  CliRun run = Cli("info");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out, fs.FlashInfoReport());

  image[0x4000] = 0;
  Write("other.fls", image);
  run = Cli("info --flash other.fls");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out.substr(0, 13), "Core at 6000\n");

  Write("short.fls", Bytes(100, 0xFF));
  EXPECT_EQ(Cli("info --flash short.fls").status, 2);
  EXPECT_EQ(Cli("info --flash nowhere.fls").status, 2);
  EXPECT_EQ(Cli("info --bogus").status, 2);
  EXPECT_EQ(Cli("info --help").status, 0);
}

TEST_F(CliTest, DownloadWritesTheImageAndReportsEachFile) {
  EXPECT_EQ(Cli("download --out default.fls").status, 0);
  EXPECT_EQ(Read("default.fls"), BuildDefaultFlashImage());

  Write("a.txt", {'h', 'i'});
  Write("b.bin", Bytes(40, 0xEA));
  Write("c.doc", {1});
  CliRun run = Cli("download --flash default.fls a.txt b.bin");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 2);
  Bytes image = Read("default.fls");
  ASSERT_EQ(image.size(), 524288u);
  EXPECT_EQ(Bytes(image.begin() + 94 * 512, image.begin() + 94 * 512 + 9), (Bytes{0, 0, 0, 0, 0x0A, 'h', 'i', 0xFF, 0xFF}));
  EXPECT_EQ(image[0x70000], 0xEA);

  // One refused file: status 1, the others still stored, written to --out.
  run = Cli("download --flash default.fls --out next.fls a.txt c.doc");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("c.doc"), std::string::npos);
  EXPECT_EQ(Read("default.fls"), image);
  Bytes next = Read("next.fls");
  ASSERT_EQ(next.size(), 524288u);
  EXPECT_NE(next, image);
}

TEST_F(CliTest, DownloadRefusesUnusableArguments) {
  Write("a.txt", {'x'});
  EXPECT_EQ(Cli("download a.txt").status, 2);  // nowhere to write
  EXPECT_EQ(Cli("download --out o.fls missing.txt").status, 2);
  EXPECT_FALSE(fsys::exists(dir / "o.fls"));
  EXPECT_EQ(Cli("download --flash missing.fls a.txt").status, 2);
  EXPECT_EQ(Cli("download --help").status, 0);
}

}  // namespace
}  // namespace rq4800
