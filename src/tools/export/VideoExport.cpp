#include "tools/export/VideoExport.h"

#include <QImage>
#include <chrono>
#include <cstdio>

#include "cd/CdControl.h"
#include "cd/CdForwarder.h"
#include "cd/ManualAudioOutput.h"
#include "display/view/DisplayView.h"
#include "media/io/AudioFile.h"
#include "presentation/Presentation.h"
#include "presentation/VirtualTime.h"

namespace quilo {
namespace {

constexpr std::int64_t kLimitMs = 2LL * 60 * 60 * 1000;
constexpr double kTransitionStepMs = 1000.0 / 30.0;  // as the display paces them

// The CD as the show drives it, noting a stop the script itself asks for.
class StopNoting : public CdForwarder {
  public:
    explicit StopNoting(CdControl& cd) : CdForwarder(cd) {}
    void command(CdCommand c) override {
        if (c == CdCommand::Stop && started) stopped = true;
        CdForwarder::command(c);
    }
    bool started = false;
    bool stopped = false;
};

class Run : public Presenter,
            public Windows,
            public ProgramExit,
            public MessageBox,
            public SoundPlayer,
            public Warnings {
  public:
    Run(const ExportOptions& options, PictureProber& pictures, std::ostream& err)
        : options_(options),
          err_(err),
          control_(options.disc, output_),
          cd_(control_),
          core_({cd_, pictures, *this, *this, *this, *this, seconds_, *this, *this, options.root}),
          view_(core_.testo1()),
          frame_(options.size, QImage::Format_RGB32) {
        control_.setEventSink([this](CdEvent e) { core_.onCdEvent(e); });
        view_.resize(options.size);
    }

    int run() {
        if (auto failure = core_.startUp().Form_Load()) return fail(*failure);
        core_.player().setText6(options_.script);
        core_.player().Command1_Click();
        if (!core_.clock().enabled) {
            return fail(refusal_.empty()
                            ? "il nome del copione non termina in \"txt\": " + options_.script
                            : refusal_);
        }
        totalMs_ = showLengthMs();
        if (options_.from) {
            core_.catchUpTo(*options_.from);
            control_.setTo(static_cast<std::int32_t>(options_.from->packed()));
            control_.command(CdCommand::Seek);
        }
        if (auto error = writer_.open(options_.output, options_.container, options_.size.width(),
                                      options_.size.height(), options_.fps)) {
            const std::string shown = options_.shownAs.empty() ? options_.output : options_.shownAs;
            return fail(error->find(options_.output) != std::string::npos
                            ? "impossibile scrivere " + shown
                            : *error);
        }
        cd_.started = true;
        control_.buttonPlay();
        started_ = std::chrono::steady_clock::now();
        while (!ended()) {
            if (options_.interrupted && *options_.interrupted) return 1;
            advance();
            if (core_.clock().enabled) core_.clock().Timer1_Timer();
            paintDue();
            if (!ok_) return fail("impossibile scrivere il video");
        }
        if (options_.progress) err_ << "\n";
        if (auto error = writer_.finish()) return fail(*error);
        return 0;
    }

    // --- ports ---
    void repaintNow(Repaint) override {}
    // A transition step shows for a thirtieth of a second while the music goes on.
    void showTransitionFrame() override {
        transitionMs_ += kTransitionStepMs;
        while (transitionMs_ >= 1.0) {
            advance();
            paintDue();
            transitionMs_ -= 1.0;
        }
    }
    void bringToFront(Window) override {}
    void quit() override {}
    void show(const std::string& text) override {
        refusal_ = text;
        warn("il programma mostrerebbe il messaggio \"" + text + "\"");
    }
    // A script's sound is mixed over the disc from the next millisecond on,
    // cutting off one still playing, as the player does.
    bool play(const std::string& file) override {
        std::string why;
        sound_ = AudioFile::open(file, why);
        soundAt_ = 0;
        return sound_ != nullptr;
    }
    void warn(const std::string& message) override { err_ << "quilo-export: " << message << "\n"; }

  private:
    int fail(const std::string& why) {
        if (options_.progress) err_ << "\n";
        err_ << "quilo-export: " << why << "\n";
        return 1;
    }

    std::int64_t showLengthMs() {
        std::int64_t sectors = 0;
        for (int t = 1; t <= control_.tracks(); ++t) {
            control_.setTrack(t);
            const CdPosition length = CdPosition::unpack(control_.trackLength() << 8);
            sectors += length.sectorsIntoTrack();
        }
        return sectors * 1000 / kSectorsPerSecond;
    }

    bool ended() {
        if (cd_.stopped || ms_ >= kLimitMs) return true;
        if (control_.mode() == CdMode::Stopped && core_.state().pauseActive != 1) return true;
        if (!options_.until) return false;
        const CdPosition at = CdPosition::unpack(control_.position());
        const CdPosition& u = *options_.until;
        return at.track > u.track ||
               (at.track == u.track && at.minutes * 60 + at.seconds >= u.minutes * 60 + u.seconds);
    }

    // One millisecond: the disc heard for it and its sound.
    void advance() {
        time_.stepMillisecond();
        ++ms_;
        takeSound();
        if (options_.progress) progress();
    }

    // The frames that fall in the millisecond, showing the display after its tick.
    void paintDue() {
        while (nextFrame_ * 1000 <= ms_ * options_.fps) {
            paint();
            ++nextFrame_;
        }
    }

    // What the listener heard in this millisecond: the disc (silence while it
    // stands still) and a script's sound over it.
    void takeSound() {
        const std::int64_t due = ms_ * kSampleRate / 1000;
        block_.assign(std::size_t(std::max<std::int64_t>(0, due - soundFrames_)) * 2, 0);
        const std::int64_t heard = output_.heardFrames;
        if (heard > takenFrames_) {
            const auto* samples =
                reinterpret_cast<const std::int16_t*>(output_.written.data()) + offset_ * 2;
            const std::size_t count =
                std::min(block_.size(), std::size_t(heard - takenFrames_) * 2);
            std::copy_n(samples, count, block_.begin());
            offset_ += heard - takenFrames_;
            takenFrames_ = heard;
        }
        mixScriptSound();
        ok_ = writer_.addSound(block_.data(), static_cast<int>(block_.size() / 2)) && ok_;
        soundFrames_ += static_cast<std::int64_t>(block_.size() / 2);
        // What was heard is no longer needed.
        if (offset_ > kSampleRate) {
            output_.written.erase(output_.written.begin(),
                                  output_.written.begin() + std::ptrdiff_t(offset_ * 4));
            offset_ = 0;
        }
    }

    void mixScriptSound() {
        if (!sound_ || block_.empty()) return;
        const auto frames = static_cast<std::int64_t>(block_.size() / 2);
        std::vector<std::int16_t> over(block_.size());
        if (!sound_->read(soundAt_, frames, reinterpret_cast<std::uint8_t*>(over.data()))) {
            sound_.reset();
            return;
        }
        for (std::size_t i = 0; i < block_.size(); ++i) {
            block_[i] =
                static_cast<std::int16_t>(std::clamp(int(block_[i]) + int(over[i]), -32768, 32767));
        }
        soundAt_ += frames;
        if (soundAt_ >= sound_->frames()) sound_.reset();
    }

    void paint() {
        if (!painted_ || !(lastPainted_ == core_.testo1())) {
            view_.render(&frame_);
            lastPainted_ = core_.testo1();
            painted_ = true;
        }
        ok_ = writer_.addFrame(frame_.constBits(), static_cast<int>(frame_.bytesPerLine())) && ok_;
    }

    void progress() {
        const auto now = std::chrono::steady_clock::now();
        if (now - lastProgress_ < std::chrono::milliseconds(500)) return;
        lastProgress_ = now;
        const double elapsed = std::chrono::duration<double>(now - started_).count();
        const double done = totalMs_ > 0 ? std::min(1.0, double(ms_) / double(totalMs_)) : 0;
        const double left = done > 0 ? elapsed * (1 - done) / done : 0;
        char line[128];
        std::snprintf(line, sizeof line,
                      "\r%3.0f %%  trascorsi %02d:%02d  mancano %02d:%02d  %4.0f fotogrammi/s",
                      done * 100, int(elapsed) / 60, int(elapsed) % 60, int(left) / 60,
                      int(left) % 60, elapsed > 0 ? double(nextFrame_) / elapsed : 0.0);
        err_ << line << std::flush;
    }

    const ExportOptions& options_;
    std::ostream& err_;
    ManualAudioOutput output_{kVirtualBufferFrames, true};
    VirtualSeconds seconds_;
    CdControl control_;
    StopNoting cd_;
    Presentation core_;
    VirtualTime time_{control_, output_, seconds_};
    DisplayView view_;
    QImage frame_;
    DisplayForm lastPainted_;
    bool painted_ = false;
    VideoWriter writer_;
    std::string refusal_;
    std::unique_ptr<AudioFile> sound_;
    std::int64_t soundAt_ = 0;
    std::vector<std::int16_t> block_;
    std::int64_t ms_ = 0;
    std::int64_t nextFrame_ = 0;
    std::int64_t takenFrames_ = 0;
    std::int64_t offset_ = 0;  // frames of `written` already taken
    std::int64_t soundFrames_ = 0;
    std::int64_t totalMs_ = 0;
    double transitionMs_ = 0;
    bool ok_ = true;
    std::chrono::steady_clock::time_point started_;
    std::chrono::steady_clock::time_point lastProgress_;
};

}  // namespace

int exportVideo(const ExportOptions& options, PictureProber& pictures, std::ostream& err) {
    return Run(options, pictures, err).run();
}

}  // namespace quilo
