#pragma once
// The remote's pictures: the display as the audience sees it, for the live
// page, and a thumbnail of each cue, for the cue list. They are painted by
// the display's painter on a thread of their own, at a lower priority than
// the show, with a picture cache of their own: the show's window never
// waits for them, and a phone never waits for the show.
//
// Live frames: the newest display replaces one not painted yet; frames are
// at least kLiveEveryMs apart, so a transition costs a bounded share of a
// core; each waits kLiveSettleMs, so the show's own screen is shown first.
// Thumbnails: the script is played through on a silent disc when the first
// is asked for; each is painted once, when asked, and kept.

#include <QByteArray>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <functional>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "display/DisplayForm.h"

namespace quilo {

class RemotePictures {
  public:
    using Delivery = std::function<void(QByteArray jpeg)>;
    static constexpr int kLiveWidth = 1024;  // the display area's 4:3
    static constexpr int kLiveHeight = 768;
    static constexpr int kThumbWidth = 240;
    static constexpr int kThumbHeight = 180;
    static constexpr int kLiveEveryMs = 40;
    static constexpr int kLiveSettleMs = 15;
    static constexpr std::size_t kWaitingAtMost = 256;
    static constexpr qint64 kThumbBytes = 32LL << 20;

    // `live` receives each live frame, on the painting thread.
    explicit RemotePictures(Delivery live);
    ~RemotePictures();
    RemotePictures(const RemotePictures&) = delete;
    RemotePictures& operator=(const RemotePictures&) = delete;

    // The display as it is now, to be painted for the live page.
    void show(const DisplayForm& form);

    // The script whose cues get thumbnails, in a version of its lines; the
    // thumbnails of another script, or of another version (saved while it
    // plays: its lines may have moved), are forgotten.
    void setScript(const std::string& script, const std::string& root,
                   const std::string& version = {});

    // The thumbnail of the cue on `line` (1-based) goes to `done`, at once
    // when painted already, else from the painting thread; empty when no cue
    // of that line is shown, or when too many are waiting.
    void thumbnail(int line, Delivery done);

  private:
    struct Request {
        int line = 0;
        Delivery done;
    };
    void work();

    Delivery live_;
    std::mutex mutex_;  // guards everything up to the thread's own state
    std::condition_variable wake_;
    bool stopping_ = false;
    std::optional<DisplayForm> liveWaiting_;
    std::chrono::steady_clock::time_point liveDue_;   // when the waiting one is painted
    std::chrono::steady_clock::time_point nextLive_;  // the earliest the next may be
    std::deque<Request> waiting_;
    std::string script_;
    std::string root_;
    std::string version_;
    int scriptGeneration_ = 0;
    std::map<int, QByteArray> thumbs_;
    qint64 thumbBytes_ = 0;

    // The painting thread's own.
    int playedGeneration_ = -1;
    std::map<int, DisplayForm> cueDisplays_;  // by line: the display after the cue
    std::thread thread_;
};

}  // namespace quilo
