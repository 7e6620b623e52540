#include "app/RemotePictures.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QBuffer>
#include <QImage>
#include <QPainter>

#include "display/view/DisplayPainter.h"
#include "display/view/QtPictureProber.h"
#include "presentation/PlayCheck.h"

namespace quilo {
namespace {

constexpr int kLiveQuality = 85;
constexpr int kThumbQuality = 75;
// Below the show's threads, which keep the default.
constexpr int kNiceness = 10;

// Thumbnails are of what is shown; a sound the script plays is left unheard.
class NoSounds : public SoundCheck {
  public:
    bool playable(const std::string&) override { return true; }
};

// `form` painted, or black for a display nobody sees (its window hidden).
QByteArray jpeg(DisplayPainter& painter, QSize size, const DisplayForm& form, bool seen,
                int quality) {
    QImage image(size, QImage::Format_RGB32);
    if (seen) {
        QPainter on(&image);
        painter.paint(on, size, form);
    } else {
        image.fill(Qt::black);
    }
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "JPEG", quality);
    return bytes;
}

}  // namespace

RemotePictures::RemotePictures(Delivery live)
    : live_(std::move(live)), thread_([this] { work(); }) {}

RemotePictures::~RemotePictures() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    wake_.notify_all();
    thread_.join();
    for (Request& request : waiting_) request.done({});
}

void RemotePictures::show(const DisplayForm& form) {
    {
        std::lock_guard lock(mutex_);
        // A frame waits for the show's own screen to be painted and shown
        // first: both would want the processor in the same milliseconds.
        if (!liveWaiting_)
            liveDue_ = std::max(nextLive_, std::chrono::steady_clock::now() +
                                               std::chrono::milliseconds(kLiveSettleMs));
        liveWaiting_ = form;
    }
    wake_.notify_all();
}

void RemotePictures::setScript(const std::string& script, const std::string& root,
                               const std::string& version) {
    std::lock_guard lock(mutex_);
    if (script == script_ && root == root_ && version == version_) return;
    script_ = script;
    root_ = root;
    version_ = version;
    ++scriptGeneration_;
    thumbs_.clear();
    thumbBytes_ = 0;
}

void RemotePictures::thumbnail(int line, Delivery done) {
    std::unique_lock lock(mutex_);
    const auto kept = thumbs_.find(line);
    if (kept == thumbs_.end() && waiting_.size() < kWaitingAtMost) {
        waiting_.push_back({line, std::move(done)});
        lock.unlock();
        wake_.notify_all();
        return;
    }
    const QByteArray bytes = kept == thumbs_.end() ? QByteArray() : kept->second;
    lock.unlock();
    done(bytes);
}

void RemotePictures::work() {
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), kNiceness);
    DisplayPainter painter;  // made here: used on this thread only
    std::unique_lock lock(mutex_);
    while (!stopping_) {
        const auto now = std::chrono::steady_clock::now();
        if (liveWaiting_ && now >= liveDue_) {
            const DisplayForm form = std::move(*liveWaiting_);
            liveWaiting_.reset();
            nextLive_ = now + std::chrono::milliseconds(kLiveEveryMs);
            lock.unlock();
            live_(jpeg(painter, {kLiveWidth, kLiveHeight}, form, form.visible, kLiveQuality));
            lock.lock();
        } else if (!waiting_.empty()) {
            const Request request = std::move(waiting_.front());
            waiting_.pop_front();
            if (playedGeneration_ != scriptGeneration_) {
                const std::string script = script_;
                const std::string root = root_;
                const int generation = scriptGeneration_;
                lock.unlock();
                cueDisplays_.clear();
                QtPictureProber prober;
                NoSounds sounds;
                playEveryCue(script, root, prober, sounds, std::nullopt,
                             [&](const CueReport& cue, const Modulo1&) {
                                 cueDisplays_.try_emplace(cue.line, cue.display);
                             });
                lock.lock();
                playedGeneration_ = generation;
            }
            const auto display = cueDisplays_.find(request.line);
            QByteArray bytes;
            if (display != cueDisplays_.end()) {
                lock.unlock();
                bytes = jpeg(painter, {kThumbWidth, kThumbHeight}, display->second, true,
                             kThumbQuality);
                lock.lock();
                // Kept only when the script is still the one it was painted for.
                if (playedGeneration_ == scriptGeneration_) {
                    thumbBytes_ += bytes.size() - thumbs_[request.line].size();
                    thumbs_[request.line] = bytes;
                    while (thumbBytes_ > kThumbBytes && thumbs_.size() > 1) {
                        thumbBytes_ -= thumbs_.begin()->second.size();
                        thumbs_.erase(thumbs_.begin());
                    }
                }
            }
            lock.unlock();
            request.done(bytes);
            lock.lock();
        } else if (liveWaiting_) {
            wake_.wait_until(lock, liveDue_);
        } else {
            wake_.wait(lock);
        }
    }
}

}  // namespace quilo
