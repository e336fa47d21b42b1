// Recording the sound: the file holds exactly the blocks the wave device was
// given from the start of the recording on, and a failing disk stops the
// file, never the sound.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include "tests/host/host_fixture.h"

namespace rq4800::test {
namespace {

namespace fs = std::filesystem;

// The samples a WAV file written by WavFileDevice declares in its header;
// empty when the file is shorter than that. exact: nothing may follow them
// (a write cut short by a full disk may leave a partial block behind).
std::vector<int16_t> WavSamples(const std::string& path, bool exact = true) {
  const std::vector<uint8_t> b = ReadBytes(path);
  if (b.size() < 44) return {};
  const auto u32 = [&](size_t at) { return b[at] | b[at + 1] << 8 | b[at + 2] << 16 | uint32_t{b[at + 3]} << 24; };
  const size_t end = 44 + u32(40);
  if (end > b.size() || (exact && end != b.size()) || u32(4) != end - 8) return {};
  std::vector<int16_t> samples;
  for (size_t at = 44; at + 1 < end; at += 2) samples.push_back(static_cast<int16_t>(b[at] | b[at + 1] << 8));
  return samples;
}

struct Playing : Running {
  Playing() : Running({}, false) {}
  // Frames with a tone of our own in the ring beside what the firmware makes,
  // and a frame's worth of play after each.
  void Frames(int n, int16_t tone) {
    DebugLogCapture quiet;
    for (int i = 0; i < n; ++i) {
      emulator.RunFrame();
      for (int k = 0; k < 300; ++k) emulator.ring.Push(static_cast<int16_t>(k % 2 ? tone : -tone));
      emulator.PlayFrameOfSound();
    }
  }
};

// What plays before the start and after the stop is not in the file; a
// stretch without frames (a pause) is recorded as the silence it played.
TEST(SoundRecording, TheFileHoldsExactlyWhatTheDevicePlayedMeanwhile) {
  const fs::path dir = test::ScratchDirectory();
  Playing p;
  p.Frames(10, 1000);
  const size_t from = p.device.played.size();
  std::string path, error;
  ASSERT_TRUE(p.emulator.StartRecording(dir.string(), {2026, 3, 4, 5, 6, 7}, &path, &error)) << error;
  EXPECT_EQ(path, (dir / "rq4800-20260304-050607.wav").string());
  p.Frames(20, 2000);
  for (int i = 0; i < 5; ++i) p.emulator.PlayFrameOfSound();  // paused: no frames, the ring runs dry
  p.Frames(5, 3000);
  EXPECT_DOUBLE_EQ(p.emulator.RecordedSeconds(), 30 * 0.02);
  const size_t to = p.device.played.size();
  ASSERT_TRUE(p.emulator.StopRecording(&error)) << error;
  p.Frames(3, 4000);

  const std::vector<int16_t> recorded = WavSamples(path);
  ASSERT_EQ(recorded.size(), to - from);
  EXPECT_TRUE(std::equal(recorded.begin(), recorded.end(), p.device.played.begin() + static_cast<long>(from)));
  EXPECT_NE(std::count(recorded.begin(), recorded.end(), int16_t{2000}), 0);
  EXPECT_NE(std::count(recorded.begin(), recorded.end(), int16_t{-3000}), 0);
  EXPECT_EQ(std::count(recorded.begin(), recorded.end(), int16_t{4000}), 0);
  EXPECT_FALSE(p.emulator.Recording());

  // A second recording of the same second goes beside the first.
  ASSERT_TRUE(p.emulator.StartRecording(dir.string(), {2026, 3, 4, 5, 6, 7}, &path, &error));
  EXPECT_EQ(path, (dir / "rq4800-20260304-050607-2.wav").string());
  EXPECT_FALSE(p.emulator.StartRecording(dir.string(), {2026, 3, 4, 5, 6, 8}, &path, &error));
  EXPECT_EQ(error, "a recording is already being made");
}

// No sound output, a folder that is not there, a disk that fills up half way:
// each is refused or reported with its reason, and the sound plays on.
TEST(SoundRecording, FailuresAreReportedAndTheSoundPlaysOn) {
  const fs::path dir = test::ScratchDirectory();
  std::string path, error;
  {
    Playing silent;
    silent.device.opens = false;
    DebugLogCapture quiet;
    silent.emulator.OpenSound(silent.device);
    EXPECT_FALSE(silent.emulator.StartRecording(dir.string(), {}, &path, &error));
    EXPECT_EQ(error, "there is no sound output, so nothing plays that could be recorded");
  }
  Playing p;
  EXPECT_FALSE(p.emulator.StartRecording((dir / "missing").string(), {}, &path, &error));
  EXPECT_NE(error.find("missing"), std::string::npos) << error;
  EXPECT_TRUE(fs::is_empty(dir));

  // The disk fills after about a second of sound.
  ASSERT_TRUE(p.emulator.StartRecording(dir.string(), {}, &path, &error)) << error;
  ::signal(SIGXFSZ, SIG_IGN);
  rlimit saved{};
  ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
  rlimit limit = saved;
  limit.rlim_cur = std::min<rlim_t>(100'000, saved.rlim_max);
  ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &limit), 0);
  p.Frames(100, 500);
  ::setrlimit(RLIMIT_FSIZE, &saved);
  ::signal(SIGXFSZ, SIG_DFL);
  EXPECT_EQ(p.emulator.RecordingError(), "cannot write " + path + ": File too large");
  EXPECT_EQ(p.device.played.size(), 104u * 882);  // every block still played
  EXPECT_FALSE(p.emulator.StopRecording(&error));
  EXPECT_EQ(error, "cannot write " + path + ": File too large");
  // What was written before the failure is a valid recording.
  EXPECT_GT(WavSamples(path, false).size(), 40'000u);
}

}  // namespace
}  // namespace rq4800::test
