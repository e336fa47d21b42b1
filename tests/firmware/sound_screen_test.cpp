#include <gmock/gmock.h>

#include <cmath>
#include <set>
#include <vector>

#include "tests/firmware/firmware_fixture.h"

namespace rq4800::test {
namespace {

class SoundScreenTest : public FirmwareTest {
 protected:
  void SetUp() override { OpenScreen(3, "Sound test"); }
  // Plays item n of the list (0 all, 1 melody, 2 PCM, 3 speech) and returns
  // the samples it produced.
  std::vector<int16_t> Play(int item) {
    for (int i = 0; i < item; ++i) Press(key::kDown, 3);
    audio.clear();
    Press(key::kEnter, 5);
    for (int i = 0; i < 300 && !ScreenHas("Done"); ++i) Run(5);
    EXPECT_TRUE(ScreenHas("Done")) << Screen();
    return audio;
  }
  static double Rms(const std::vector<int16_t>& s, size_t from, size_t to) {
    double sum = 0;
    for (size_t i = from; i < to; ++i) sum += double(s[i]) * s[i];
    return std::sqrt(sum / double(to - from));
  }
  // Cycles a second over [from, to), from the sign changes at 44,100 Hz.
  static double Pitch(const std::vector<int16_t>& s, size_t from, size_t to) {
    int changes = 0;
    for (size_t i = from + 1; i < to; ++i) changes += (s[i - 1] < 0) != (s[i] < 0);
    return changes * 22050.0 / double(to - from);
  }
};

// The beeper square wave: +8192 / -8192 only, and its first and last notes
// (C5, C6) at their pitch.
TEST_F(SoundScreenTest, MelodyIsTheBeepersToneAtItsNotesPitch) {
  const auto s = Play(1);
  ASSERT_GT(s.size(), 44100u) << "over a second of melody";
  for (size_t i = 0; i < s.size(); ++i) ASSERT_TRUE(s[i] == 8192 || s[i] == -8192) << s[i] << " at " << i;
  EXPECT_NEAR(Pitch(s, 0, 4410), 523, 15);
  EXPECT_NEAR(Pitch(s, s.size() - 8820, s.size()), 1047, 30);
  EXPECT_FALSE(machine->bus.beeperGate) << "the gate is closed afterwards";
}

// Raw samples in PCM mode: a sine whose pitch rises, 4800 words at 8 kHz
// stretched 5.5 times, and the decoder back in frame mode afterwards.
TEST_F(SoundScreenTest, PcmToneRisesAndEndsInFrameMode) {
  const auto s = Play(2);
  EXPECT_EQ(s.size(), 4800u * 11 / 2);
  EXPECT_GT(Rms(s, 0, s.size()), 4000);
  EXPECT_NEAR(Pitch(s, 0, 4410), 330, 60);
  EXPECT_NEAR(Pitch(s, s.size() - 4410, s.size()), 1430, 100);
  EXPECT_EQ(machine->bus.sound.mode, SoundGenerator::kModeFrame);
}

// The speech phrase: 29 frames of 240 samples (1320 ring samples each),
// loud throughout its voiced parts and nothing like the beeper's two levels.
TEST_F(SoundScreenTest, SpeechPhraseIsAudible) {
  const auto s = Play(3);
  ASSERT_EQ(s.size(), 29u * 1320);
  for (size_t from = 0; from + 4410 <= s.size() - 1320; from += 4410)
    EXPECT_GT(Rms(s, from, from + 4410), 1000) << "at sample " << from;
  EXPECT_GT(std::set<int16_t>(s.begin(), s.end()).size(), 300u) << "values (multiples of 16) spread widely";
}

TEST_F(SoundScreenTest, AllThreePlayInTurn) {
  const auto s = Play(0);
  // Over a second of melody before the tone's and the phrase's samples.
  EXPECT_GT(s.size(), 44100u + 4800u * 11 / 2 + 29u * 1320);
  EXPECT_TRUE(s.front() == 8192 || s.front() == -8192) << "the melody comes first";
  EXPECT_NE(s.back(), 8192) << "the speech comes last";
  Press(key::kEsc);
  EXPECT_TRUE(AtHome()) << Screen();
}

// Without a wave output draining the ring the firmware does not hang: the
// ring stays full, the pacing gives up after a second and the screen goes on.
TEST_F(SoundScreenTest, FullRingDoesNotHangThePlayer) {
  for (int i = 0; i < 2; ++i) Press(key::kDown, 3);
  ring.write = SampleRing::kCapacity - 2;  // one short of full, nothing read
  ring.read = 0;
  PressKeyCode(*machine, key::kEnter);
  int frame = 0;
  for (; frame < 200 && !ScreenHas("Done"); ++frame) {
    RunFrame(*machine);
    if (frame == 3) ReleaseAllKeys(*machine);
  }
  EXPECT_TRUE(ScreenHas("Done")) << Screen();
  EXPECT_GE(frame, 50) << "it waited for room for a second first";
}

}  // namespace
}  // namespace rq4800::test
