#include "QtSoundPlayer.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QEventLoop>
#include <QMediaDevices>

#include "WavDecoder.h"
#include "misc_functions.h"

namespace varnex {

namespace {

constexpr int EndCheckIntervalMs = 20;
// A device that stops taking data gets this long past the sound's length before it is given up.
constexpr int StallMarginMs = 2000;

}  // namespace

QtSoundPlayer::QtSoundPlayer() {
  endCheck_.setInterval(EndCheckIntervalMs);
  QObject::connect(&endCheck_, &QTimer::timeout, &endCheck_, [this] { CheckEnd(); });
}

QtSoundPlayer::~QtSoundPlayer() {
  Stop();
}

void QtSoundPlayer::Stop() {
  endCheck_.stop();
  if (sink_) {
    sink_->stop();
    sink_.reset();
  }
  buffer_.close();
}

void QtSoundPlayer::CheckEnd() {
  // The sink turns idle when it has taken the last bytes, before they have sounded, so the end
  // is when the device has processed the whole sound.
  if (!sink_ || sink_->state() == QAudio::StoppedState || sink_->processedUSecs() >= durationUs_ ||
      sinceStart_.elapsed() > giveUpMs_)
    Stop();
}

void QtSoundPlayer::PlayWave(const std::string& path, bool waitForEnd) {
  Stop();
  std::string bytes;
  PcmSound sound;
  if (!ReadFileBytes(path, bytes) || !DecodeWav(bytes, sound) || sound.samples.empty()) return;
  const QAudioDevice device = QMediaDevices::defaultAudioOutput();
  if (device.isNull()) return;

  QAudioFormat format;
  format.setSampleRate(sound.sampleRate);
  format.setChannelCount(sound.channels);
  format.setSampleFormat(QAudioFormat::Int16);
  pcm_ = QByteArray(reinterpret_cast<const char*>(sound.samples.data()),
                    static_cast<qsizetype>(sound.samples.size() * sizeof(int16_t)));
  buffer_.setData(pcm_);
  buffer_.open(QIODevice::ReadOnly);
  durationUs_ = format.durationForBytes(static_cast<qint32>(pcm_.size()));
  giveUpMs_ = durationUs_ / 1000 + StallMarginMs;
  sink_ = std::make_unique<QAudioSink>(device, format);
  sink_->start(&buffer_);
  if (sink_->error() != QAudio::NoError || sink_->state() == QAudio::StoppedState) {
    Stop();
    return;
  }
  sinceStart_.start();
  endCheck_.start();
  if (!waitForEnd) return;

  QEventLoop loop;
  QObject::connect(&endCheck_, &QTimer::timeout, &loop, [this, &loop] {
    if (!sink_) loop.quit();
  });
  loop.exec(QEventLoop::ExcludeUserInputEvents);
}

}  // namespace varnex
