#include "host/qt/qt_wave_device.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QMutexLocker>
#include <algorithm>
#include <cstring>

namespace rq4800 {

BlockFeed::BlockFeed(QObject* parent) : QIODevice(parent) {}

void BlockFeed::Queue(const WaveBlock& block) {
  QMutexLocker lock(&mutex_);
  queue_.push_back({reinterpret_cast<const char*>(block.data), block.bytes, 0});
}

int BlockFeed::TakeFinished() {
  QMutexLocker lock(&mutex_);
  int n = finished_;
  finished_ = 0;
  return n;
}

qint64 BlockFeed::bytesAvailable() const {
  QMutexLocker lock(&mutex_);
  qint64 n = 0;
  for (const Pending& p : queue_) n += p.size - p.offset;
  return n + QIODevice::bytesAvailable();
}

qint64 BlockFeed::readData(char* data, qint64 maxSize) {
  qint64 copied = 0;
  int done = 0;
  {
    QMutexLocker lock(&mutex_);
    while (copied < maxSize && !queue_.empty()) {
      Pending& front = queue_.front();
      qint64 n = std::min(maxSize - copied, front.size - front.offset);
      std::memcpy(data + copied, front.data + front.offset, static_cast<size_t>(n));
      copied += n;
      front.offset += n;
      if (front.offset == front.size) {
        queue_.pop_front();
        ++done;
      }
    }
    finished_ += done;
  }
  if (done > 0) emit blocksFinished();
  return copied;
}

QtWaveDevice::QtWaveDevice(QObject* parent) : QObject(parent) {
  connect(&feed, &BlockFeed::blocksFinished, this, &QtWaveDevice::blocksFinished, Qt::QueuedConnection);
}

QtWaveDevice::~QtWaveDevice() {
  if (sink_) sink_->stop();
}

bool QtWaveDevice::Open() {
  QAudioDevice output = QMediaDevices::defaultAudioOutput();
  if (output.isNull()) return false;
  QAudioFormat format;
  format.setSampleRate(kSampleRate);
  format.setChannelCount(kChannels);
  format.setSampleFormat(QAudioFormat::Int16);
  if (!output.isFormatSupported(format)) return false;
  sink_ = std::make_unique<QAudioSink>(output, format);
  // The sink keeps its own default buffer: with one much shorter than that,
  // Qt's pulling falls behind the audio clock and the sound breaks up.
  sink_->setVolume(volume_);
  feed.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
  sink_->start(&feed);
  if (sink_->error() != QAudio::NoError) {
    sink_.reset();
    feed.close();
    return false;
  }
  return true;
}

bool QtWaveDevice::Prepare(WaveBlock& block) {
  block.prepared = block.data != nullptr && block.bytes > 0;
  return block.prepared;
}

void QtWaveDevice::Unprepare(WaveBlock& block) { block.prepared = false; }

void QtWaveDevice::Queue(WaveBlock& block) { feed.Queue(block); }

int QtWaveDevice::TakeFinishedBlocks() { return feed.TakeFinished(); }

void QtWaveDevice::SetVolume(double linear) {
  volume_ = linear;
  if (sink_) sink_->setVolume(linear);
}

}  // namespace rq4800
