#include "audio/ServerSoundPlayer.h"

#include "media/io/AudioFile.h"
#include "shared/AudioOutput.h"

namespace quilo {

ServerSoundPlayer::ServerSoundPlayer(Warnings* warnings) : warnings_(warnings) {}

ServerSoundPlayer::~ServerSoundPlayer() {
    stream_->close();
}

bool ServerSoundPlayer::play(const std::string& file) {
    std::string why;
    auto sound = AudioFile::open(file, why);
    if (!sound) return false;
    stream_->close();  // a new sound cuts off the one still playing
    {
        std::lock_guard lock(mutex_);
        sound_ = std::move(sound);
        nextFrame_ = 0;
    }
    if (!stream_->open("Quilo suono", 200,
                       [this](std::uint8_t* out, std::size_t bytes) { return pull(out, bytes); })) {
        if (!warnedNoDevice_ && warnings_)
            warnings_->warn("nessuna uscita audio; i suoni non si sentiranno");
        warnedNoDevice_ = true;
    }
    return true;
}

std::size_t ServerSoundPlayer::pull(std::uint8_t* out, std::size_t bytes) {
    std::lock_guard lock(mutex_);
    if (!sound_) return 0;
    const std::int64_t frames = std::min<std::int64_t>(
        static_cast<std::int64_t>(bytes / kBytesPerFrame), sound_->frames() - nextFrame_);
    if (frames <= 0 || !sound_->read(nextFrame_, frames, out)) return 0;
    nextFrame_ += frames;
    return static_cast<std::size_t>(frames) * kBytesPerFrame;
}

}  // namespace quilo
