#pragma once
// Fakes for the ports the script commands use: sounds, the message box and
// the seconds-since-midnight counter.

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "shared/MessageBox.h"
#include "shared/SecondsClock.h"
#include "shared/SoundPlayer.h"

namespace quilo::testing {

class RecordingSound : public SoundPlayer {
  public:
    bool play(const std::string& file) override {
        played.push_back(file);
        for (const auto& bad : unplayable) {
            if (file.size() >= bad.size() &&
                file.compare(file.size() - bad.size(), bad.size(), bad) == 0) {
                return false;
            }
        }
        return true;
    }
    std::vector<std::string> played;
    std::set<std::string> unplayable;  // matched by the end of the path
};

class RecordingMessages : public MessageBox {
  public:
    void show(const std::string& text) override {
        shown.push_back(text);
        if (whileOpen) whileOpen();
    }
    std::vector<std::string> shown;
    std::function<void()> whileOpen;  // runs while the box is "open"
};

class ManualSeconds : public SecondsClock {
  public:
    float secondsSinceMidnight() override { return now; }
    float now = 36000.0f;
};

}  // namespace quilo::testing
