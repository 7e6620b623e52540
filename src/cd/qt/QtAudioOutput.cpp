#include "cd/qt/QtAudioOutput.h"

#include <QAudioDevice>
#include <QMediaDevices>
#include <iostream>

namespace quilo {

QtAudioOutput::~QtAudioOutput() {
    close();
}

void QtAudioOutput::close() {
    if (sink_) sink_->stop();
    sink_.reset();
    io_ = nullptr;
}

bool QtAudioOutput::open() {
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) return false;
    QAudioFormat format;
    format.setSampleRate(kSampleRate);
    format.setChannelCount(2);
    format.setSampleFormat(QAudioFormat::Int16);
    if (!device.isFormatSupported(format)) return false;
    sink_ = std::make_unique<QAudioSink>(device, format);
    sink_->setBufferSize(kSampleRate * kBytesPerFrame / 5);  // 200 ms
    io_ = sink_->start();
    if (!io_ || sink_->error() != QAudio::NoError) {
        sink_.reset();
        io_ = nullptr;
        return false;
    }
    return true;
}

std::size_t QtAudioOutput::write(const std::uint8_t* data, std::size_t bytes) {
    if (!io_) return 0;
    const auto room = static_cast<std::size_t>(std::max<qsizetype>(0, sink_->bytesFree()));
    const std::size_t n = std::min(bytes, room) / kBytesPerFrame * kBytesPerFrame;
    if (n == 0) return 0;
    const qint64 written = io_->write(reinterpret_cast<const char*>(data), static_cast<qint64>(n));
    return written > 0 ? static_cast<std::size_t>(written) / kBytesPerFrame * kBytesPerFrame : 0;
}

void QtAudioOutput::pause(bool paused) {
    if (!sink_) return;
    if (paused && sink_->state() == QAudio::ActiveState) sink_->suspend();
    if (!paused && sink_->state() == QAudio::SuspendedState) sink_->resume();
}

void QtAudioOutput::flush() {
    if (!sink_) return;
    sink_->reset();
    io_ = sink_->start();
}

std::int64_t QtAudioOutput::delayFrames() {
    if (!sink_) return 0;
    const qsizetype buffered = sink_->bufferSize() - sink_->bytesFree();
    return std::max<qsizetype>(0, buffered) / kBytesPerFrame;
}

bool FallbackAudioOutput::open() {
    if (trySoundDevice_ && device_.open()) {
        active_ = &device_;
        return true;
    }
    if (trySoundDevice_) {
        std::cerr << "quilo: nessuna uscita audio disponibile; il disco scorre in silenzio\n";
    }
    active_ = &silent_;
    return silent_.open();
}

}  // namespace quilo
