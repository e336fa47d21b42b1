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

namespace fs = std::filesystem;

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Runs rq4800-cli run in a fresh scratch folder with the keys pressed from
// frame 50, one every 10 frames, each released `held` frames later (0: in
// the same frame's events); returns the file the options name `out`.
std::vector<uint8_t> RunCli(const std::vector<std::string>& keys, const std::string& options, int held = 3) {
  const auto dir = fs::path(RQ4800_BINARY_DIR) / "test-scratch" /
                   (std::string("firmware.") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::remove_all(dir);
  fs::create_directories(dir);
  std::ofstream script(dir / "keys.txt");
  for (size_t i = 0; i < keys.size(); ++i)
    script << 50 + 10 * i << " press " << keys[i] << "\n" << 50 + held + 10 * i << " release\n";
  script.close();
  const std::string command = std::string(RQ4800_CLI) + " run --keys " + (dir / "keys.txt").string() + " " +
                              options + " " + (dir / "out").string() + " > " + (dir / "log.txt").string() + " 2>&1";
  const int status = std::system(command.c_str());
  const auto log = ReadAll(dir / "log.txt");
  EXPECT_EQ(status, 0) << std::string(log.begin(), log.end());
  return ReadAll(dir / "out");
}

// The menu is walked with keys pressed and released between two frames: the
// firmware still sees each, for one frame.
TEST(FirmwareRunnerTest, FlashTestReachedByQuickTapsProgramsTheSectorInTheSavedImage) {
  const auto flash = RunCli({"Down", "Down", "Down", "Down", "Down", "Enter"}, "--frames 150 --save-flash", 0);
  ASSERT_EQ(flash.size(), 524288u);
  for (size_t i = 0; i < 0x1000; ++i)
    ASSERT_EQ(flash[0x7F000 + i], static_cast<uint8_t>((i & 0xFF) ^ (i >> 8) ^ 0x5A)) << i;
}

TEST(FirmwareRunnerTest, SoundTestMelodyIsInTheRecording) {
  const auto wav = RunCli({"Down", "Down", "Down", "Enter", "Down", "Enter"}, "--frames 300 --wav");
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
