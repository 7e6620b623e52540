#include "audio/PulseAudioOutput.h"

namespace quilo {

bool PulseAudioOutput::open() {
    if (trySoundDevice_ && stream_.open("Quilo CD", kBufferMs)) return true;
    if (trySoundDevice_ && !warned_ && warnings_)
        warnings_->warn("nessuna uscita audio disponibile; il disco scorre in silenzio");
    warned_ = true;
    return silent_.open();
}

void PulseAudioOutput::close() {
    stream_.close();
}

std::size_t PulseAudioOutput::write(const std::uint8_t* data, std::size_t bytes) {
    return stream_.isOpen() ? stream_.write(data, bytes) : silent_.write(data, bytes);
}

void PulseAudioOutput::pause(bool paused) {
    if (stream_.isOpen()) {
        stream_.cork(paused);
    } else {
        silent_.pause(paused);
    }
}

void PulseAudioOutput::flush() {
    if (stream_.isOpen()) {
        stream_.flush();
    } else {
        silent_.flush();
    }
}

std::int64_t PulseAudioOutput::delayFrames() {
    return stream_.isOpen() ? stream_.delayFrames() : silent_.delayFrames();
}

}  // namespace quilo
