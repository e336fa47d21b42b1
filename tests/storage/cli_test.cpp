// rq4800-cli run as the user runs it.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdio>
#include <tuple>

#include "storage/flash_file_system.h"
#include "tests/file_text.h"
#include "tools/flashimage/default_flash_image.h"

namespace rq4800 {
namespace {

namespace fsys = std::filesystem;
using Bytes = std::vector<uint8_t>;
// Each test its own folder: ctest runs them side by side.
fsys::path Dir() {
  return fsys::path(RQ4800_BINARY_DIR) / "test-scratch" /
         (std::string("Cli.") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
}

struct CliRun { int status = -1; std::string out; };
CliRun Cli(const std::string& arguments) {  // run in Dir()
  CliRun run;
  FILE* pipe = popen(("cd '" + Dir().string() + "' && '" RQ4800_BINARY_DIR "/host/cli/rq4800-cli' " + arguments +
                      " 2>/dev/null").c_str(), "r");
  if (!pipe) return run;
  for (int c; (c = std::fgetc(pipe)) != EOF;) run.out += static_cast<char>(c);
  int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}
Bytes Read(const std::string& name) {
  const std::string bytes = ReadAll(Dir() / name);
  return Bytes(bytes.begin(), bytes.end());
}

TEST(Cli, InfoReportsAndDownloadStoresEachFileWithItsStatus) {
  fsys::remove_all(Dir());
  fsys::create_directories(Dir());
  Bytes image = BuildDefaultFlashImage();
  FlashFileSystem fs{.image = image.data()};
  EXPECT_EQ(Cli("info").out, fs.FlashInfoReport());
  EXPECT_EQ(Cli("download --out default.fls").status, 0);
  EXPECT_EQ(Read("default.fls"), image);

  std::ofstream(Dir() / "a.txt") << "hi";
  std::ofstream(Dir() / "b.bin") << std::string(40, '\xEA');
  std::ofstream(Dir() / "c.doc") << "x";
  CliRun both = Cli("download --flash default.fls a.txt b.bin");
  EXPECT_EQ(both.status, 0);
  EXPECT_EQ(std::count(both.out.begin(), both.out.end(), '\n'), 2);
  image = Read("default.fls");
  ASSERT_EQ(image.size(), 524288u);
  EXPECT_EQ(Bytes(&image[94 * 512], &image[94 * 512 + 9]), (Bytes{0, 0, 0, 0, 0x0A, 'h', 'i', 0xFF, 0xFF}));
  EXPECT_EQ(image[0x70000], 0xEA);

  // One refused file: status 1, the other still stored, written to --out.
  CliRun refused = Cli("download --flash default.fls --out next.fls a.txt c.doc");
  EXPECT_EQ(refused.status, 1);
  EXPECT_NE(refused.out.find("c.doc"), std::string::npos);
  EXPECT_EQ(Read("default.fls"), image);
  EXPECT_NE(Read("next.fls"), image);
  // A UTF-8 text: its line tells that it was converted and how many characters GBK lacks.
  std::ofstream(Dir() / "u.txt") << "\xE4\xB8\xAD\xF0\x9F\x98\x80\xED\x95\x9C";  // 中, 😀, 한
  CliRun converted = Cli("download --flash default.fls u.txt");
  EXPECT_EQ(converted.status, 0);
  EXPECT_NE(converted.out.find("u.txt: stored, converted from UTF-8 to GBK; characters GBK lacks, stored as '?': 2\n"),
            std::string::npos) << converted.out;
  for (const char* unusable : {"download a.txt", "download --out o.fls gone.txt", "info --flash c.doc", "info -x"}) {
    EXPECT_EQ(Cli(unusable).status, 2) << unusable;
  }
}

// Results are printed only for an image that was written; files that cannot
// be read are unusable arguments; files too long for the device are refused
// downloads with the code their type gets.
TEST(Cli, DownloadPrintsResultsOnlyForAWrittenImage) {
  fsys::remove_all(Dir());
  fsys::create_directories(Dir() / "folder.txt");
  std::ofstream(Dir() / "a.txt") << "hi";
  for (const char* name : {"big.bin", "big.txt", "big.fls"}) {
    std::ofstream(Dir() / name).close();
    fsys::resize_file(Dir() / name, 600000);
  }
  const std::tuple<const char*, int, std::string> rows[] = {  // arguments, status, standard output
      {"download --out /nowhere/x.fls a.txt", 1, ""},
      {"download --out folder.txt a.txt", 1, ""},
      {"download --out o.fls folder.txt", 2, ""},
      {"download --out o.fls a.txt /dev/zero", 2, ""},
      {"download --flash /dev/zero --out o.fls", 2, ""},
      {"info --flash folder.txt", 2, ""},
      {"download --out o.fls big.bin big.txt big.fls a.txt", 1,
       "big.bin: not enough free space in the flash (-3)\n"
       "big.txt: file too large for the device's file records (-5)\n"},
  };
  for (const auto& [arguments, status, out] : rows) {
    const CliRun run = Cli(arguments);
    EXPECT_EQ(run.status, status) << arguments;
    EXPECT_EQ(out.empty() ? run.out : run.out.substr(0, out.size()), out) << arguments;
  }
  EXPECT_TRUE(fsys::is_empty(Dir() / "folder.txt"));
  EXPECT_EQ(Read("o.fls").size(), 524288u);
}

}  // namespace
}  // namespace rq4800
