// quilo-sim SCRIPT [--root DIR] [--tracks S1,S2,...] [--disc SOURCE] [--until TT:MM:SS]
// quilo-sim --disc SOURCE --toc
#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "display/view/QtPictureProber.h"
#include "display/view/QuietQtMessages.h"
#include "tools/DecodingSoundCheck.h"
#include "tools/DiscChoice.h"
#include "tools/sim/Simulation.h"

namespace {

int usage() {
    std::cerr << "uso: quilo-sim COPIONE [--root DIR] [--tracks S1,S2,...] [--disc SORGENTE] "
                 "[--until TT:MM:SS]\n"
                 "     quilo-sim --disc SORGENTE --toc\n";
    return 2;
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
            if (!quilo::parseNumbers(argv[++i], ',', tracks)) return usage();
        } else if (arg == "--until" && hasValue) {
            std::vector<int> until;
            if (!quilo::parseNumbers(argv[++i], ':', until) || until.size() != 3) return usage();
            options.until = std::array<int, 3>{until[0], until[1], until[2]};
        } else if (!arg.empty() && arg[0] != '-' && options.script.empty()) {
            options.script = arg;
        } else {
            return usage();
        }
    }
    if (toc || !disc.empty()) {
        auto source = quilo::openNamedDisc(disc, "quilo-sim");
        if (!source) return 1;
        if (toc) {
            std::cout << quilo::tocJson(std::move(source)) << std::endl;
            return 0;
        }
        for (const auto& t : source->tracks()) options.trackSectors.push_back(t.length);
    } else if (!tracks.empty()) {
        options.trackSectors = quilo::silentTracks(tracks, "quilo-sim");
    } else {
        options.trackSectors.assign(99, 600 * 75);
    }
    if (options.script.empty()) return usage();
    quilo::QtPictureProber pictures;
    quilo::DecodingSoundCheck sounds;
    return quilo::Simulation(options, pictures, sounds, std::cout, std::cerr).run();
}
