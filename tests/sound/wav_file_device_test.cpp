#include "sound/wav_file_device.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <vector>

#include "sound/sound_generator.h"
#include "sound/wave_output.h"

namespace rq4800 {
namespace {

// Reads a .wav, checks every field of its canonical 44-byte PCM header
// against the file's length, and returns the samples.
std::vector<int16_t> ReadWav(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  const std::vector<uint8_t> b{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
  if (b.size() < 44) {
    ADD_FAILURE() << "short file";
    return {};
  }
  const auto u16 = [&](size_t at) { return static_cast<uint32_t>(b[at] | b[at + 1] << 8); };
  const auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
  const auto tag = [&](size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); };
  EXPECT_EQ(tag(0) + tag(8) + tag(12) + tag(36), "RIFFWAVEfmt data");
  EXPECT_EQ(u32(4), b.size() - 8);
  EXPECT_EQ(u32(40), b.size() - 44);
  // format record size, PCM, mono, rate, bytes per second, alignment, bits
  const uint32_t format[] = {u32(16), u16(20), u16(22), u32(24), u32(28), u16(32), u16(34)};
  EXPECT_EQ(std::vector<uint32_t>(format, format + 7), (std::vector<uint32_t>{16, 1, 1, 44100, 88200, 2, 16}));
  std::vector<int16_t> samples;
  for (size_t at = 44; at + 1 < b.size(); at += 2) samples.push_back(static_cast<int16_t>(u16(at)));
  return samples;
}

TEST(WavFileDevice, RecordsEveryQueuedBlockAndStaysValidAfterEachOne) {
  const std::string path = testing::TempDir() + "wav_device_record.wav";
  WavFileDevice device(path);
  SampleRing ring;
  WaveOutput out;
  ASSERT_TRUE(OpenWaveOutput(out, device, ring));
  EXPECT_EQ(ReadWav(path), std::vector<int16_t>(4 * 882, 0));  // the opening silence

  SoundGenerator g;
  g.ring = &ring;
  g.WriteCommand(0xA0, 4);
  const int16_t values[] = {1, -1, 0x7EFF, -32768, -2};  // 0x7EFF: 0xFFxx would leave PCM
  for (int16_t v : values) g.WriteCommand((v + 0x8000) >> 8, (v + 0x8000) & 0xFF);
  device.FinishBlocks(1);
  EXPECT_EQ(ServiceWaveOutput(out), 1);
  // Read back with the device still open, as after a crash.
  std::vector<int16_t> expected(4 * 882, 0);
  for (int n = 0; n < 5; ++n) expected.insert(expected.end(), n % 2 == 0 ? 5 : 6, values[n]);
  expected.resize(5 * 882, 0);
  EXPECT_EQ(ReadWav(path), expected);

  device.FinishBlocks(10);  // only the four queued blocks can finish
  EXPECT_EQ(ServiceWaveOutput(out), 4);
  device.Close();
  EXPECT_EQ(ReadWav(path).size(), 9u * 882);
}

}  // namespace
}  // namespace rq4800
