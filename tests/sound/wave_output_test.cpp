#include "sound/wave_output.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

#include "sound/wav_file_device.h"
#include "tests/core/file_size_limit.h"
#include "tests/file_text.h"
#include "tests/temp_path.h"

namespace rq4800 {
namespace {

// Records every queued block (where and what) and finishes blocks when told.
struct RecordingWaveDevice : IWaveDevice {
  bool openResult = true, prepareResult = true;
  int finished = 0;
  std::vector<std::pair<const int16_t*, std::vector<int16_t>>> queued;

  bool Open() override { return openResult; }
  bool Prepare(WaveBlock& block) override { return block.prepared = prepareResult; }
  void Unprepare(WaveBlock& block) override { block.prepared = false; }
  void Queue(WaveBlock& block) override {
    queued.emplace_back(block.data, std::vector<int16_t>(block.data, block.data + block.bytes / 2));
  }
  int TakeFinishedBlocks() override { return std::exchange(finished, 0); }
};

TEST(WaveOutput, FourSilentBlocksCirculateInOrder1230WhileTheDevicePreparesThem) {
  RecordingWaveDevice device;
  SampleRing ring{.samples = {}, .write = 7};
  WaveOutput out;
  ASSERT_TRUE(OpenWaveOutput(out, device, ring));
  EXPECT_TRUE(ring.HasStorage() && ring.Empty());
  device.finished = 4;
  EXPECT_EQ(ServiceWaveOutput(out), 4);
  ASSERT_EQ(device.queued.size(), 8u);
  for (int n = 0; n < 8; ++n) {
    EXPECT_EQ(device.queued[n].first, out.buffers[(n + 1) % 4].data()) << n;
    EXPECT_EQ(device.queued[n].second, std::vector<int16_t>(882, 0)) << n;
  }
  device.prepareResult = false;  // a block the device will not prepare leaves circulation
  device.finished = 1;
  EXPECT_EQ(ServiceWaveOutput(out), 1);
  EXPECT_EQ(device.queued.size(), 8u);
}

TEST(WaveOutput, ADeviceThatWillNotOpenLeavesTheRingWithoutStorage) {
  RecordingWaveDevice device;
  device.openResult = false;
  SampleRing ring;
  WaveOutput out;
  EXPECT_FALSE(OpenWaveOutput(out, device, ring));
  EXPECT_FALSE(ring.HasStorage());
  RefillBlock(out);
  device.finished = 1;
  EXPECT_EQ(ServiceWaveOutput(out), 0);
  EXPECT_TRUE(device.queued.empty());
}

TEST(WaveOutput, RefillTakesWhatTheRingHoldsAndPadsWithSilence) {
  const int cases[][4] = {  // read, write -> samples taken, read after
      {500, 500, 0, 500},     {176000, 500, 882, 482}, {1000, 2000, 882, 1882},
      {176399, 0, 1, 0},      {176000, 176300, 300, 176300},
      {175518, 100, 882, 0},  // exactly to the end: read wraps, nothing after
  };
  const auto mark = [](int slot) { return static_cast<int16_t>(slot % 30011 + 1); };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c[0] << ".." << c[1]);
    RecordingWaveDevice device;
    SampleRing ring;
    WaveOutput out;
    OpenWaveOutput(out, device, ring);
    for (int n = 0; n < SampleRing::kCapacity; ++n) ring.samples[n] = mark(n);
    ring.read = c[0];
    ring.write = c[1];
    RefillBlock(out);
    EXPECT_EQ(ring.read, c[3]);
    const auto& block = device.queued.back().second;
    for (int n = 0; n < 882; ++n) ASSERT_EQ(block[n], n < c[2] ? mark((c[0] + n) % SampleRing::kCapacity) : 0) << n;
  }
}

// Reads a .wav, checks every field of its canonical 44-byte PCM header
// against the file's length, and returns the samples.
std::vector<int16_t> ReadWav(const std::string& path) {
  const std::string text = ReadAll(path);
  std::vector<uint8_t> b(text.begin(), text.end());
  b.resize(std::max<size_t>(b.size(), 44));  // a short file fails the checks below
  const auto u16 = [&](size_t at) { return static_cast<uint32_t>(b[at] | b[at + 1] << 8); };
  const auto u32 = [&](size_t at) { return u16(at) | u16(at + 2) << 16; };
  const auto tag = [&](size_t at) { return std::string(b.begin() + at, b.begin() + at + 4); };
  EXPECT_EQ(tag(0) + tag(8) + tag(12) + tag(36), "RIFFWAVEfmt data");
  EXPECT_EQ(std::pair(u32(4), u32(40)), (std::pair<uint32_t, uint32_t>(b.size() - 8, b.size() - 44)));
  // format record size, PCM, mono, rate, bytes per second, alignment, bits
  const std::vector<uint32_t> format = {u32(16), u16(20), u16(22), u32(24), u32(28), u16(32), u16(34)};
  EXPECT_EQ(format, (std::vector<uint32_t>{16, 1, 1, 44100, 88200, 2, 16}));
  std::vector<int16_t> samples;
  for (size_t at = 44; at + 1 < b.size(); at += 2) samples.push_back(static_cast<int16_t>(u16(at)));
  return samples;
}

TEST(WavFileDevice, RecordsEveryQueuedBlockAndStaysValidAfterEachOne) {
  const std::string path = test::TempPath("wav_device_record.wav");
  WavFileDevice device(path);
  SampleRing ring;
  WaveOutput out;
  ASSERT_TRUE(OpenWaveOutput(out, device, ring));
  EXPECT_EQ(ReadWav(path), std::vector<int16_t>(4 * 882, 0));  // the opening silence

  const int16_t values[] = {1, -1, 32767, -32768, -2};
  for (int16_t v : values) ring.Push(v);
  device.FinishBlocks(1);
  EXPECT_EQ(ServiceWaveOutput(out), 1);
  // Read back with the device still open, as after a crash.
  std::vector<int16_t> expected(4 * 882, 0);
  expected.insert(expected.end(), std::begin(values), std::end(values));
  expected.resize(5 * 882, 0);
  EXPECT_EQ(ReadWav(path), expected);

  device.FinishBlocks(10);  // only the four queued blocks can finish
  EXPECT_EQ(ServiceWaveOutput(out), 4);
  EXPECT_TRUE(device.Close());
  EXPECT_EQ(device.error(), "");
  EXPECT_EQ(ReadWav(path).size(), 9u * 882);
  std::remove(path.c_str());
}

// A full disk (/dev/full fails every write that reaches it, the header's
// first), a folder that is not there, and a disk that fills during the
// recording (a file-size limit): the first failure is kept with the file and
// the reason, and the close reports it.
TEST(WavFileDevice, AFailedWriteIsKeptWithTheFileAndTheReason) {
  const std::string nowhere = test::TempPath("no-such-folder/sound.wav");
  const std::string filling = test::TempPath("wav_device_filling.wav");
  struct Row { std::string path; rlim_t limit; bool opens; std::string error; };
  const Row rows[] = {
      {"/dev/full", RLIM_INFINITY, false, "cannot write /dev/full: No space left on device"},
      {nowhere, RLIM_INFINITY, false, "cannot create " + nowhere + ": No such file or directory"},
      {filling, 8192, true, "cannot write " + filling + ": File too large"},
  };
  for (const Row& row : rows) {
    WavFileDevice device(row.path);
    SampleRing ring;
    WaveOutput out;
    bool opened = false, closed = true;
    test::WithFileSizeLimit([&] {
      opened = OpenWaveOutput(out, device, ring);
      device.FinishBlocks(4);
      ServiceWaveOutput(out);
      closed = device.Close();
    }, row.limit);
    EXPECT_EQ(opened, row.opens) << row.path;
    EXPECT_FALSE(closed) << row.path;
    EXPECT_EQ(device.error(), row.error);
  }
  std::remove(filling.c_str());
}

}  // namespace
}  // namespace rq4800
