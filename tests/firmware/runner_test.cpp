// The firmware through the headless runner: key scripts in, the saved flash
// image and the recorded sound out.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "tests/file_text.h"

namespace {

namespace fs = std::filesystem;
using rq4800::ReadAll;

// A fresh scratch folder of the running test's own name.
fs::path Scratch() {
  const auto dir = fs::path(RQ4800_BINARY_DIR) / "test-scratch" /
                   (std::string("firmware.") + ::testing::UnitTest::GetInstance()->current_test_info()->name());
  fs::remove_all(dir);
  fs::create_directories(dir);
  return dir;
}

// A key script in dir: the keys pressed from frame 50, one every 10 frames,
// each released `held` frames later (0: in the same frame's events).
std::string WriteKeys(const fs::path& dir, const std::vector<std::string>& keys, int held, const char* more = "") {
  std::ofstream script(dir / "keys.txt");
  for (size_t i = 0; i < keys.size(); ++i)
    script << 50 + 10 * i << " press " << keys[i] << "\n" << 50 + held + 10 * i << " release\n";
  script << more;
  return (dir / "keys.txt").string();
}

// rq4800-cli run with these options, its output in dir/log.txt; the status.
int RunIn(const fs::path& dir, const std::string& options) {
  const std::string log = (dir / "log.txt").string();
  return std::system((std::string(RQ4800_CLI) + " run " + options + " > " + log + " 2>&1").c_str());
}

// The keys pressed in a run; returns the file the options name `out`.
std::vector<uint8_t> RunCli(const std::vector<std::string>& keys, const std::string& options, int held = 3) {
  const fs::path dir = Scratch();
  EXPECT_EQ(RunIn(dir, "--keys " + WriteKeys(dir, keys, held) + " " + options + " " + (dir / "out").string()), 0)
      << ReadAll(dir / "log.txt");
  const std::string out = ReadAll(dir / "out");
  return {out.begin(), out.end()};
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
  const fs::path dir = Scratch();
  // Into the sound test: its melody, then speech, play across the save at
  // frame 150; Down is held across the save.
  WriteKeys(dir, {"Down", "Down", "Down", "Enter", "Down", "Enter"}, 3, "120 press Down\n");
  auto run = [&](const std::string& options) { return RunIn(dir, "--time \"2026-12-06 10:00:00\" " + options); };
  const std::string d = dir.string() + "/";
  ASSERT_EQ(run("--frames 300 --keys " + d + "keys.txt --wav " + d + "straight.wav --screenshot " + d + "straight.png"), 0);
  ASSERT_EQ(run("--frames 150 --keys " + d + "keys.txt --save-state " + d + "half.state"), 0);
  ASSERT_EQ(run("--frames 150 --load-state " + d + "half.state --wav " + d + "rest.wav --screenshot " + d + "rest.png"), 0);

  EXPECT_EQ(ReadAll(dir / "straight.png"), ReadAll(dir / "rest.png"));
  const std::string straight = ReadAll(dir / "straight.wav"), rest = ReadAll(dir / "rest.wav");
  constexpr size_t kHeader = 44, kSilence = 4 * 882 * 2, kFrame = 882 * 2;
  ASSERT_EQ(straight.size(), kHeader + kSilence + 300 * kFrame);
  ASSERT_EQ(rest.size(), kHeader + kSilence + 150 * kFrame);
  EXPECT_EQ(rest.substr(kHeader, kSilence), std::string(kSilence, '\0'));
  EXPECT_TRUE(std::equal(rest.begin() + kHeader + kSilence, rest.end(),
                         straight.begin() + kHeader + kSilence + 150 * kFrame));
  EXPECT_TRUE(std::any_of(rest.begin() + kHeader + kSilence, rest.end(), [](char b) { return b != 0; }))
      << "the sound test still plays after the save";

  // A state that is not one, or is damaged: the run does not start.
  std::string damaged = ReadAll(dir / "half.state");
  damaged[damaged.size() / 3] ^= 1;
  std::ofstream(dir / "damaged.state", std::ios::binary) << damaged;
  EXPECT_EQ(WEXITSTATUS(run("--frames 5 --load-state " + d + "damaged.state")), 2);
  EXPECT_NE(ReadAll(dir / "log.txt").find("--load-state"), std::string::npos);
  EXPECT_EQ(WEXITSTATUS(run("--frames 5 --load-state " + d + "keys.txt")), 2);
}

}  // namespace
