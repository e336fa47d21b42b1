#pragma once
// The wave output's device on Qt Multimedia: a QAudioSink in pull mode that
// reads the queued blocks in order. A block counts as finished once the
// audio system has taken all of its bytes, which is when the device's home
// platform would report it done too; the sink then signals blocksFinished on
// the GUI thread, where the owner refills (the emulation's one thread).
// Without an audio output, or one that refuses 44,100 Hz mono 16-bit, Open
// fails and the program runs silently.
#include <QIODevice>
#include <QMutex>
#include <deque>
#include <memory>

#include "sound/wave_device.h"

class QAudioSink;

namespace rq4800 {

// The pull side: what the audio sink reads from.
class BlockFeed final : public QIODevice {
  Q_OBJECT
 public:
  explicit BlockFeed(QObject* parent = nullptr);
  void Queue(const WaveBlock& block);
  int TakeFinished();
  bool isSequential() const override { return true; }
  qint64 bytesAvailable() const override;

 signals:
  void blocksFinished();

 protected:
  qint64 readData(char* data, qint64 maxSize) override;
  qint64 writeData(const char*, qint64) override { return -1; }

 private:
  struct Pending {
    const char* data;
    qint64 size;
    qint64 offset;
  };
  mutable QMutex mutex_;
  std::deque<Pending> queue_;
  int finished_ = 0;
};

class QtWaveDevice final : public QObject, public IWaveDevice {
  Q_OBJECT
 public:
  explicit QtWaveDevice(QObject* parent = nullptr);
  ~QtWaveDevice() override;
  bool Open() override;
  bool Prepare(WaveBlock& block) override;
  void Unprepare(WaveBlock& block) override;
  void Queue(WaveBlock& block) override;
  int TakeFinishedBlocks() override;
  // Loudness of what plays, 0 (silent) to 1 (as the samples are): applied by
  // the sink, so the samples themselves (and a recording of them) keep the
  // device's own level.
  void SetVolume(double linear);

  BlockFeed feed;

 signals:
  void blocksFinished();

 private:
  std::unique_ptr<QAudioSink> sink_;
  double volume_ = 1.0;
};

}  // namespace rq4800
