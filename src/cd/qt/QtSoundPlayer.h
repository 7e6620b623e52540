#pragma once
// Plays the scripts' wave sounds: decodes the file whole with libsndfile (at
// CD rate, stereo) and plays it on the default output device without waiting,
// cutting off a sound still playing. A file that cannot be decoded is a
// failure; a machine without a sound device plays silently, saying so once.

#include <QAudioSink>
#include <QBuffer>
#include <memory>

#include "shared/SoundPlayer.h"

namespace quilo {

class QtSoundPlayer : public SoundPlayer {
  public:
    ~QtSoundPlayer() override;
    bool play(const std::string& file) override;

  private:
    void stop();

    std::unique_ptr<QAudioSink> sink_;
    std::unique_ptr<QBuffer> buffer_;
    QByteArray samples_;
    bool warnedNoDevice_ = false;
};

}  // namespace quilo
