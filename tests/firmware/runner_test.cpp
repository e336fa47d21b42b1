// The firmware through the headless runner: key scripts in, the saved flash
// image and the recorded sound out.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::filesystem::path Scratch() {
  const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
  auto dir = std::filesystem::path(RQ4800_BINARY_DIR) / "test-scratch" / (std::string("firmware.") + info->name());
  std::filesystem::remove_all(dir);
  std::filesystem::create_directories(dir);
  return dir;
}

std::vector<uint8_t> ReadAll(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs rq4800-cli run with a key script and further options; returns its exit code.
int RunCli(const std::filesystem::path& dir, const std::string& keys, const std::string& options) {
  std::ofstream(dir / "keys.txt") << keys;
  const std::string command = std::string(RQ4800_CLI) + " run --keys " + (dir / "keys.txt").string() + " " +
                              options + " > " + (dir / "log.txt").string() + " 2>&1";
  return std::system(command.c_str());
}

// Presses of Down n times from frame 50, then Enter: menu item n.
std::string OpenItem(int n, int* frame) {
  std::string script;
  *frame = 50;
  for (int i = 0; i <= n; ++i) {
    script += std::to_string(*frame) + (i < n ? " press Down\n" : " press Enter\n");
    script += std::to_string(*frame + 3) + " release\n";
    *frame += 10;
  }
  return script;
}

TEST(FirmwareRunnerTest, FlashTestProgramsTheSectorInTheSavedImage) {
  const auto dir = Scratch();
  int frame = 0;
  const std::string keys = OpenItem(5, &frame);
  ASSERT_EQ(RunCli(dir, keys, "--frames 150 --save-flash " + (dir / "after.fls").string()), 0)
      << std::string(ReadAll(dir / "log.txt").begin(), ReadAll(dir / "log.txt").end());
  const auto flash = ReadAll(dir / "after.fls");
  ASSERT_EQ(flash.size(), 524288u);
  for (size_t i = 0; i < 0x1000; ++i) {
    ASSERT_EQ(flash[0x7F000 + i], static_cast<uint8_t>((i & 0xFF) ^ (i >> 8) ^ 0x5A)) << i;
  }
}

TEST(FirmwareRunnerTest, SoundTestMelodyIsInTheRecording) {
  const auto dir = Scratch();
  int frame = 0;
  std::string keys = OpenItem(3, &frame);
  keys += std::to_string(frame) + " press Down\n" + std::to_string(frame + 3) + " release\n";
  keys += std::to_string(frame + 10) + " press Enter\n" + std::to_string(frame + 13) + " release\n";
  ASSERT_EQ(RunCli(dir, keys, "--frames 300 --wav " + (dir / "sound.wav").string()), 0);
  const auto wav = ReadAll(dir / "sound.wav");
  ASSERT_GT(wav.size(), 44u);
  // 16-bit samples after the 44-byte header: the beeper's two levels, over a
  // second of them, switching at the melody's pitches (523 to 1047 Hz).
  int levels = 0, switches = 0, last = 0;
  for (size_t i = 44; i + 1 < wav.size(); i += 2) {
    const int v = static_cast<int16_t>(wav[i] | wav[i + 1] << 8);
    if (v != 8192 && v != -8192) continue;
    ++levels;
    if (last != 0 && v != last) ++switches;
    last = v;
  }
  EXPECT_GT(levels, 44100);
  const double hz = switches / 2.0 / (levels / 44100.0);
  EXPECT_GT(hz, 500);
  EXPECT_LT(hz, 1100);
}

}  // namespace
