#include "sound/wav_file_device.h"

#include <algorithm>
#include <array>
#include <cerrno>
#include <cstring>
#include <utility>

namespace rq4800 {
namespace {

// The RIFF size fields are 32-bit; a recording stops growing before they
// would overflow (after about 13 hours) instead of writing a broken header.
constexpr uint32_t kMaxDataBytes = 0xFFFFFFFFu - (WavFileDevice::kHeaderBytes - 8);

void Put16(uint8_t* p, uint32_t v) {
  p[0] = static_cast<uint8_t>(v);
  p[1] = static_cast<uint8_t>(v >> 8);
}
void Put32(uint8_t* p, uint32_t v) {
  Put16(p, v & 0xFFFF);
  Put16(p + 2, v >> 16);
}

}  // namespace

WavFileDevice::WavFileDevice(std::string path) : path_(std::move(path)) {}

WavFileDevice::~WavFileDevice() { Close(); }

bool WavFileDevice::Open() {
  Close();
  error_.clear();
  dataBytes_ = 0;
  pending_ = 0;
  finished_ = 0;
  file_ = std::fopen(path_.c_str(), "wb");
  if (file_ == nullptr) {
    error_ = "cannot create " + path_ + ": " + std::strerror(errno);
    return false;
  }
  if (!WriteHeader()) {
    Fail();
    return false;
  }
  return true;
}

void WavFileDevice::Fail() {
  const int cause = errno;
  if (error_.empty()) error_ = "cannot write " + path_ + ": " + std::strerror(cause);
  if (file_ != nullptr) std::fclose(file_);
  file_ = nullptr;
}

bool WavFileDevice::WriteHeader() {
  std::array<uint8_t, kHeaderBytes> h{};
  const uint32_t blockAlign = kChannels * kBitsPerSample / 8;
  std::copy_n("RIFF", 4, h.begin());
  Put32(&h[4], 36 + dataBytes_);
  std::copy_n("WAVE", 4, h.begin() + 8);
  std::copy_n("fmt ", 4, h.begin() + 12);
  Put32(&h[16], 16);  // size of the PCM format record
  Put16(&h[20], 1);   // PCM
  Put16(&h[22], kChannels);
  Put32(&h[24], kSampleRate);
  Put32(&h[28], kSampleRate * blockAlign);
  Put16(&h[32], blockAlign);
  Put16(&h[34], kBitsPerSample);
  std::copy_n("data", 4, h.begin() + 36);
  Put32(&h[40], dataBytes_);
  return std::fseek(file_, 0, SEEK_SET) == 0 && std::fwrite(h.data(), 1, h.size(), file_) == h.size() &&
         std::fseek(file_, 0, SEEK_END) == 0;
}

bool WavFileDevice::Prepare(WaveBlock& block) {
  if (file_ == nullptr || block.data == nullptr || block.bytes < 0 || block.bytes % 2 != 0) return false;
  block.prepared = true;
  return true;
}

void WavFileDevice::Unprepare(WaveBlock& block) { block.prepared = false; }

void WavFileDevice::Queue(WaveBlock& block) {
  if (file_ == nullptr || !block.prepared) return;
  ++pending_;
  Append(block.data, block.bytes / 2);
}

void WavFileDevice::Append(const int16_t* samples, int count) {
  if (file_ == nullptr || samples == nullptr || count <= 0) return;
  const auto bytes = static_cast<uint32_t>(count) * 2;
  if (bytes > kMaxDataBytes - dataBytes_) return;
  std::array<uint8_t, 4096> out;
  for (int done = 0; done < count;) {
    const int n = std::min<int>(count - done, static_cast<int>(out.size() / 2));
    for (int k = 0; k < n; ++k) Put16(&out[2 * k], static_cast<uint16_t>(samples[done + k]));
    if (std::fwrite(out.data(), 1, 2 * static_cast<size_t>(n), file_) != 2 * static_cast<size_t>(n)) {
      Fail();
      return;
    }
    done += n;
  }
  dataBytes_ += bytes;
  if (!WriteHeader() || std::fflush(file_) != 0) Fail();
}

int WavFileDevice::TakeFinishedBlocks() { return std::exchange(finished_, 0); }

void WavFileDevice::FinishBlocks(int n) {
  const int count = n < pending_ ? (n > 0 ? n : 0) : pending_;
  pending_ -= count;
  finished_ += count;
}

bool WavFileDevice::Close() {
  if (file_ != nullptr) {
    const bool closed = std::fclose(file_) == 0;
    file_ = nullptr;
    if (!closed && error_.empty()) error_ = "cannot write " + path_ + ": " + std::strerror(errno);
  }
  return error_.empty();
}

}  // namespace rq4800
