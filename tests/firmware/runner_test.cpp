// The firmware through the headless runner: key scripts in, the saved flash
// image and the recorded sound out.
#include <gtest/gtest.h>

#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <sys/wait.h>
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

// A run saved half-way and continued from its state gives what the straight
// run gives: the same screen, and after the 80 ms of silence an opening
// output queues, exactly the sound that followed the save.
TEST(FirmwareRunnerTest, ARunContinuedFromItsStateMatchesTheStraightRun) {
  const auto dir = fs::path(RQ4800_BINARY_DIR) / "test-scratch" / "firmware.state";
  fs::remove_all(dir);
  fs::create_directories(dir);
  // Into the sound test: its melody, then speech, play across the save at frame 150.
  std::ofstream script(dir / "keys.txt");
  const char* keys[] = {"Down", "Down", "Down", "Enter", "Down", "Enter"};
  for (int i = 0; i < 6; ++i) script << 50 + 10 * i << " press " << keys[i] << "\n" << 53 + 10 * i << " release\n";
  script << "120 press Down\n";  // held across the save
  script.close();
  auto run = [&](const std::string& options) {
    const std::string command = std::string(RQ4800_CLI) + " run --time \"2026-12-06 10:00:00\" " + options +
                                " > " + (dir / "log.txt").string() + " 2>&1";
    return std::system(command.c_str());
  };
  const std::string d = dir.string() + "/";
  ASSERT_EQ(run("--frames 300 --keys " + d + "keys.txt --wav " + d + "straight.wav --screenshot " + d + "straight.png"), 0);
  ASSERT_EQ(run("--frames 150 --keys " + d + "keys.txt --save-state " + d + "half.state"), 0);
  ASSERT_EQ(run("--frames 150 --load-state " + d + "half.state --wav " + d + "rest.wav --screenshot " + d + "rest.png"), 0);

  EXPECT_EQ(ReadAll(dir / "straight.png"), ReadAll(dir / "rest.png"));
  const std::vector<uint8_t> straight = ReadAll(dir / "straight.wav"), rest = ReadAll(dir / "rest.wav");
  constexpr size_t kHeader = 44, kSilence = 4 * 882 * 2, kFrame = 882 * 2;
  ASSERT_EQ(straight.size(), kHeader + kSilence + 300 * kFrame);
  ASSERT_EQ(rest.size(), kHeader + kSilence + 150 * kFrame);
  EXPECT_EQ(std::vector<uint8_t>(rest.begin() + kHeader, rest.begin() + kHeader + kSilence),
            std::vector<uint8_t>(kSilence, 0));
  EXPECT_TRUE(std::equal(rest.begin() + kHeader + kSilence, rest.end(),
                         straight.begin() + kHeader + kSilence + 150 * kFrame));
  EXPECT_TRUE(std::any_of(rest.begin() + kHeader + kSilence, rest.end(), [](uint8_t b) { return b != 0; }))
      << "the sound test still plays after the save";

  // A state that is not one, or is damaged: the run does not start.
  std::vector<uint8_t> damaged = ReadAll(dir / "half.state");
  damaged[damaged.size() / 3] ^= 1;
  std::ofstream(dir / "damaged.state", std::ios::binary).write(reinterpret_cast<const char*>(damaged.data()),
                                                                static_cast<std::streamsize>(damaged.size()));
  EXPECT_EQ(WEXITSTATUS(run("--frames 5 --load-state " + d + "damaged.state")), 2);
  const std::vector<uint8_t> log = ReadAll(dir / "log.txt");
  EXPECT_NE(std::string(log.begin(), log.end()).find("--load-state"), std::string::npos);
  EXPECT_EQ(WEXITSTATUS(run("--frames 5 --load-state " + d + "keys.txt")), 2);
}

}  // namespace
