#pragma once
// A show turned into a video: the presentation core plays in virtual time,
// a millisecond at a time as the simulation does, with the disc's sound
// heard through a manual output. Every frame is painted by the display
// window's own painter; each transition step is a frame of its own, 30 steps
// a second as on screen, while the music goes on. A scripted pause shows the
// still display over silence; the show's stop, --until or the disc's end
// ends the video.

#include <QSize>
#include <csignal>
#include <functional>
#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "cd/DiscSource.h"
#include "shared/CdPosition.h"
#include "shared/PictureProber.h"
#include "tools/export/VideoWriter.h"

namespace quilo {

struct ExportOptions {
    std::string script;
    std::string root;
    std::function<std::unique_ptr<DiscSource>()> disc;  // opened at start-up, as the player does
    std::string output;
    std::string shownAs;  // the output's name in messages, when `output` is a stand-in
    VideoWriter::Container container = VideoWriter::Container::Mp4;
    QSize size{1920, 1080};
    int fps = 30;
    std::optional<CdPosition> from;  // the video starts here, the show caught up to it
    std::optional<CdPosition> until;
    bool progress = false;                                    // a progress line on stderr
    const volatile std::sig_atomic_t* interrupted = nullptr;  // set by a signal: stop
};

// The exit status: 0 with the video written, 1 otherwise (with the reason on `err`).
int exportVideo(const ExportOptions& options, PictureProber& pictures, std::ostream& err);

}  // namespace quilo
