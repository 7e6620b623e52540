#include "audio/ServerAudioOutput.h"

namespace quilo {

bool ServerAudioOutput::open() {
    if (trySoundDevice_ && stream_->open("Quilo CD", kBufferMs)) return true;
    if (trySoundDevice_ && !warnedNoServer_)
        say("nessuna uscita audio disponibile; il disco scorre in silenzio");
    warnedNoServer_ = true;
    return silent_.open();
}

void ServerAudioOutput::say(const char* message) {
    if (warnings_) warnings_->warn(message);
}

// Whether the sound still goes to the server. When the server has gone, what
// it held unheard passes to the silent output, so the position carries on.
bool ServerAudioOutput::onServer() {
    if (!stream_->isOpen()) return false;
    if (!stream_->broken()) return true;
    stream_->close();
    silent_.flush();
    silent_.pause(paused_);
    silent_.holdHeardLater(lastDelay_);
    lost_ = true;
    say("l'uscita audio si \u00E8 interrotta; il disco scorre in silenzio");
    return false;
}

void ServerAudioOutput::close() {
    stream_->close();
}

std::size_t ServerAudioOutput::write(const std::uint8_t* data, std::size_t bytes) {
    if (lost_ && NullAudioOutput::Clock::now() >= nextTry_) tryServerAgain();
    return onServer() ? stream_->write(data, bytes) : silent_.write(data, bytes);
}

// In the middle of a play: the new stream first gets silence for what the
// silent output still holds unheard, so the position goes on without a jump
// and the sound resumes at the sample that is due.
void ServerAudioOutput::tryServerAgain() {
    nextTry_ = NullAudioOutput::Clock::now() + kRetryEvery;
    if (!stream_->open("Quilo CD", kBufferMs)) return;
    lost_ = false;
    stream_->cork(paused_);
    stream_->writeSilence(silent_.delayFrames());
    say("l'uscita audio \u00E8 tornata");
}

void ServerAudioOutput::pause(bool paused) {
    paused_ = paused;
    if (onServer()) {
        stream_->cork(paused);
    } else {
        silent_.pause(paused);
    }
}

void ServerAudioOutput::flush() {
    if (lost_) {
        silent_.flush();
        tryServerAgain();
    }
    if (onServer()) {
        stream_->flush();
        lastDelay_ = 0;
    } else {
        silent_.flush();
    }
}

std::int64_t ServerAudioOutput::delayFrames() {
    if (!onServer()) return silent_.delayFrames();
    lastDelay_ = stream_->delayFrames();
    return lastDelay_;
}

}  // namespace quilo
