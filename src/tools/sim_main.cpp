// quilo-sim SCRIPT [--root DIR] [--tracks S1,S2,...] [--disc SOURCE] [--until TT:MM:SS]
// quilo-sim --disc SOURCE --toc
#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "audio/io/AudioFile.h"
#include "cd/io/DiscSources.h"
#include "display/view/QtPictureProber.h"
#include "display/view/QuietQtMessages.h"
#include "tools/sim/Simulation.h"

namespace {

class SndfileCheck : public quilo::SoundCheck {
  public:
    bool playable(const std::string& file) override {
        std::string why;
        return quilo::AudioFile::open(file, why) != nullptr;
    }
};

int usage() {
    std::cerr << "uso: quilo-sim COPIONE [--root DIR] [--tracks S1,S2,...] [--disc SORGENTE] "
                 "[--until TT:MM:SS]\n"
                 "     quilo-sim --disc SORGENTE --toc\n";
    return 2;
}

bool parseNumbers(const std::string& text, char separator, std::vector<int>& numbers) {
    std::stringstream in(text);
    std::string part;
    while (std::getline(in, part, separator)) {
        char* end = nullptr;
        const long value = std::strtol(part.c_str(), &end, 10);
        if (part.empty() || *end != '\0' || value < 0 || value > 1'000'000'000) return false;
        numbers.push_back(static_cast<int>(value));
    }
    return !numbers.empty();
}

}  // namespace

int main(int argc, char** argv) {
    quilo::quietQtMessages();
    QCoreApplication application(argc, argv);
    quilo::SimOptions options;
    options.root = QDir::home().filePath(QStringLiteral("Quilo")).toStdString();
    std::string disc;
    bool toc = false;
    std::vector<int> tracks;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--toc") {
            toc = true;
        } else if (arg == "--root" && hasValue) {
            options.root = argv[++i];
        } else if (arg == "--disc" && hasValue) {
            disc = argv[++i];
        } else if (arg == "--tracks" && hasValue) {
            if (!parseNumbers(argv[++i], ',', tracks)) return usage();
        } else if (arg == "--until" && hasValue) {
            std::vector<int> until;
            if (!parseNumbers(argv[++i], ':', until) || until.size() != 3) return usage();
            options.until = std::array<int, 3>{until[0], until[1], until[2]};
        } else if (!arg.empty() && arg[0] != '-' && options.script.empty()) {
            options.script = arg;
        } else {
            return usage();
        }
    }
    if (toc || !disc.empty()) {
        std::string error;
        auto source = quilo::openDiscSource(disc, error);
        if (!source) {
            std::cerr << "quilo-sim: " << error << "\n";
            return 1;
        }
        for (const std::string& note : source->notes) std::cerr << "quilo-sim: " << note << "\n";
        if (toc) {
            std::cout << quilo::tocJson(std::move(source)) << std::endl;
            return 0;
        }
        for (const auto& t : source->tracks()) options.trackSectors.push_back(t.length);
    } else if (!tracks.empty()) {
        // A track longer than a whole disc is cut to a disc's length.
        constexpr int kLongestTrackSeconds = 100 * 60;
        for (int seconds : tracks) {
            if (seconds > kLongestTrackSeconds)
                std::cerr << "quilo-sim: un brano dura al massimo " << kLongestTrackSeconds
                          << " secondi; " << seconds << " ridotto\n";
            options.trackSectors.push_back(std::min(seconds, kLongestTrackSeconds) * 75);
        }
    } else {
        options.trackSectors.assign(99, 600 * 75);
    }
    if (options.script.empty()) return usage();
    quilo::QtPictureProber pictures;
    SndfileCheck sounds;
    return quilo::Simulation(options, pictures, sounds, std::cout, std::cerr).run();
}
