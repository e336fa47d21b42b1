#pragma once
// A wave device that plays into a file: every queued block is appended to a
// RIFF/PCM .wav (44,100 Hz, mono, 16-bit) and the header's sizes are patched
// and flushed after each block, so the file is a valid recording of all
// sound so far even if the program stops without closing it.
//
// Every write, header patch and the close are checked: the first failure
// (a full disk, a folder that is not there) is kept in error() with the file
// and the reason, and later blocks are dropped, since a recording with a gap
// would not be the sound that played.
//
// Nothing plays in real time, so blocks finish when the caller says so:
// FinishBlocks(n) marks the n oldest queued blocks as played, which
// TakeFinishedBlocks then reports. A headless runner that wants one frame of
// sound per machine frame calls FinishBlocks(1) and ServiceWaveOutput once
// per frame (or simply RefillBlock once per frame).
#include <cstdint>
#include <cstdio>
#include <string>

#include "sound/wave_device.h"

namespace rq4800 {

class WavFileDevice : public IWaveDevice {
 public:
  static constexpr int kHeaderBytes = 44;

  explicit WavFileDevice(std::string path);
  ~WavFileDevice() override;
  WavFileDevice(const WavFileDevice&) = delete;
  WavFileDevice& operator=(const WavFileDevice&) = delete;

  // Creates (or truncates) the file and writes an empty recording's header;
  // false when the file cannot be created.
  bool Open() override;
  bool Prepare(WaveBlock& block) override;
  void Unprepare(WaveBlock& block) override;
  void Queue(WaveBlock& block) override;
  int TakeFinishedBlocks() override;

  // Appends samples to the recording as Queue does, without any block
  // bookkeeping: the tap of a recording taken beside another device.
  void Append(const int16_t* samples, int count);

  // Marks up to n of the queued, unfinished blocks as played.
  void FinishBlocks(int n);
  // Closes the file; the recording stays valid. Further blocks are dropped.
  // Returns false when any write or the close itself failed.
  bool Close();

  const std::string& path() const { return path_; }
  uint32_t dataBytes() const { return dataBytes_; }
  int pendingBlocks() const { return pending_; }
  // Empty while every write has succeeded; otherwise "cannot write PATH: why".
  const std::string& error() const { return error_; }

 private:
  bool WriteHeader();
  // Keeps the first failure (from errno) and stops the recording.
  void Fail();

  std::string path_;
  std::FILE* file_ = nullptr;
  uint32_t dataBytes_ = 0;
  int pending_ = 0;   // queued, not yet finished
  int finished_ = 0;  // finished, not yet taken
  std::string error_;
};

}  // namespace rq4800
