#pragma once
// Plays the scripts' wave sounds without waiting, cutting off a sound still
// playing. The file is decoded as the sound server asks for it, a little at a
// time on the stream's own thread, so a long or large file costs neither
// memory nor the display's time. A file that cannot be decoded is a failure;
// a machine without a sound server plays silently, saying so once.

#include <memory>
#include <mutex>

#include "audio/SoundStream.h"
#include "shared/SoundPlayer.h"
#include "shared/Warnings.h"

namespace quilo {

class AudioFile;

class ServerSoundPlayer : public SoundPlayer {
  public:
    explicit ServerSoundPlayer(Warnings* warnings = nullptr);
    ~ServerSoundPlayer() override;
    bool play(const std::string& file) override;

  private:
    std::size_t pull(std::uint8_t* out, std::size_t bytes);

    Warnings* warnings_;
    bool warnedNoDevice_ = false;
    std::mutex mutex_;
    std::unique_ptr<AudioFile> sound_;
    std::int64_t nextFrame_ = 0;
    std::unique_ptr<SoundStream> stream_ = makeSoundStream();
};

}  // namespace quilo
