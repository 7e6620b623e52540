#include "audio/SoundStream.h"

#include <cstdlib>
#include <iostream>
#include <string_view>

#include "audio/PipeWireStream.h"
#include "audio/PulseStream.h"

namespace quilo {
namespace {

SoundServerKind chooseServer() {
    const char* forced = std::getenv("QUILO_AUDIO");
    const std::string_view asked = forced ? forced : "";
    SoundServerKind kind = SoundServerKind::PulseAudio;
    if (asked == "pipewire") {
        kind = SoundServerKind::PipeWire;
    } else if (asked != "pulseaudio" && PipeWireStream::serverAnswers()) {
        kind = SoundServerKind::PipeWire;
    }
    if (std::getenv("QUILO_VERBOSE")) {
        std::cerr << "quilo: uscita audio: "
                  << (kind == SoundServerKind::PipeWire ? "PipeWire (diretta)" : "PulseAudio")
                  << "\n";
    }
    return kind;
}

}  // namespace

SoundServerKind soundServerKind() {
    static const SoundServerKind kind = chooseServer();
    return kind;
}

std::unique_ptr<SoundStream> makeSoundStream() {
    if (soundServerKind() == SoundServerKind::PipeWire) return std::make_unique<PipeWireStream>();
    return std::make_unique<PulseStream>();
}

}  // namespace quilo
