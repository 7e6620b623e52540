#include "cd/qt/QtSoundPlayer.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <iostream>

#include "cd/io/AudioFile.h"
#include "shared/AudioOutput.h"

namespace quilo {

QtSoundPlayer::~QtSoundPlayer() {
    stop();
}

void QtSoundPlayer::stop() {
    if (sink_) sink_->stop();
    sink_.reset();
    buffer_.reset();
}

bool QtSoundPlayer::play(const std::string& file) {
    std::string why;
    auto audio = AudioFile::open(file, why);
    if (!audio) return false;
    QByteArray samples(static_cast<qsizetype>(audio->frames() * kBytesPerFrame), Qt::Uninitialized);
    if (!audio->read(0, audio->frames(), reinterpret_cast<std::uint8_t*>(samples.data())))
        return false;

    stop();  // a new sound cuts off the one still playing
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    if (device.isNull() || !device.isFormatSupported(format)) {
        if (!warnedNoDevice_)
            std::cerr << "quilo: nessuna uscita audio; i suoni non si sentiranno\n";
        warnedNoDevice_ = true;
        return true;
    }
    samples_ = std::move(samples);
    buffer_ = std::make_unique<QBuffer>(&samples_);
    buffer_->open(QIODevice::ReadOnly);
    sink_ = std::make_unique<QAudioSink>(device, format);
    sink_->start(buffer_.get());
    return true;
}

}  // namespace quilo
