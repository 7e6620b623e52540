// quilo-export SCRIPT [--root DIR] (--disc SOURCE | --tracks S1,S2,...) --storyboard DIR
//              [--size 640x480]
#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <iostream>
#include <sstream>

#include "audio/io/AudioFile.h"
#include "display/view/DisplayView.h"
#include "display/view/QtPictureProber.h"
#include "display/view/QuietQtMessages.h"
#include "tools/DiscChoice.h"
#include "tools/export/Storyboard.h"

namespace {

class SndfileCheck : public quilo::SoundCheck {
  public:
    bool playable(const std::string& file) override {
        std::string why;
        return quilo::AudioFile::open(file, why) != nullptr;
    }
};

int usage() {
    std::cerr << "uso: quilo-export COPIONE [--root DIR] (--disc SORGENTE | --tracks S1,S2,...) "
                 "--storyboard CARTELLA [--size 640x480]\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    quilo::quietQtMessages();
    quilo::SimOptions options;
    options.root = QDir::home().filePath(QStringLiteral("Quilo")).toStdString();
    std::string disc;
    std::string storyboard;
    std::vector<int> tracks;
    std::vector<int> size{640, 480};
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--root" && hasValue) {
            options.root = argv[++i];
        } else if (arg == "--disc" && hasValue) {
            disc = argv[++i];
        } else if (arg == "--tracks" && hasValue) {
            if (!quilo::parseNumbers(argv[++i], ',', tracks)) return usage();
        } else if (arg == "--storyboard" && hasValue) {
            storyboard = argv[++i];
        } else if (arg == "--size" && hasValue) {
            size.clear();
            if (!quilo::parseNumbers(argv[++i], 'x', size) || size.size() != 2 || size[0] < 16 ||
                size[1] < 16 || size[0] > 7680 || size[1] > 4320) {
                return usage();
            }
        } else if (!arg.empty() && arg[0] != '-' && options.script.empty()) {
            options.script = arg;
        } else {
            return usage();
        }
    }
    if (options.script.empty() || storyboard.empty() || disc.empty() == tracks.empty())
        return usage();
    // Painting needs a GUI application, but never a screen.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    quilo::installFontSubstitutes();
    if (!disc.empty()) {
        auto source = quilo::openNamedDisc(disc, "quilo-export");
        if (!source) return 1;
        for (const auto& t : source->tracks()) options.trackSectors.push_back(t.length);
    } else {
        options.trackSectors = quilo::silentTracks(tracks, "quilo-export");
    }
    if (!QDir().mkpath(QString::fromStdString(storyboard))) {
        std::cerr << "quilo-export: impossibile creare la cartella " << storyboard << "\n";
        return 1;
    }
    quilo::Storyboard board(QString::fromStdString(storyboard), QSize(size[0], size[1]));
    bool written = true;
    options.onCue = [&](const quilo::CueReport& cue) { written = board.add(cue) && written; };
    quilo::QtPictureProber pictures;
    SndfileCheck sounds;
    std::ostringstream report;
    std::ostringstream problems;
    const int status = quilo::Simulation(options, pictures, sounds, report, problems).run();
    const std::string said = problems.str();
    if (status != 0) {
        std::cerr << (said.empty() ? "quilo-export: il copione non parte\n" : said);
        return 1;
    }
    std::cerr << said;
    const std::string title =
        "Quilo: " + QFileInfo(QString::fromStdString(options.script)).fileName().toStdString();
    if (!written || !board.finish(title)) {
        std::cerr << "quilo-export: impossibile scrivere in " << storyboard << "\n";
        return 1;
    }
    std::cerr << "quilo-export: " << board.cues() << " scene in " << storyboard << "/index.html\n";
    return 0;
}
