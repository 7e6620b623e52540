// quilo-sim SCRIPT [--root DIR] [--tracks S1,S2,...] [--disc SOURCE] [--until TT:MM:SS]
// quilo-sim --disc SOURCE --toc
#include <QCoreApplication>
#include <QDir>
#include <algorithm>
#include <cstdlib>
#include <iostream>
#include <sstream>

#include "bundle/io/ShowCache.h"
#include "display/view/QtPictureProber.h"
#include "display/view/QuietQtMessages.h"
#include "presentation/Simulation.h"
#include "shared/CommandLine.h"
#include "tools/DecodingSoundCheck.h"
#include "tools/DiscChoice.h"

namespace {

const char* const kHelp =
    "uso: quilo-sim COPIONE|SPETTACOLO.quilo [--root CARTELLA] [--tracks S1,S2,...] [--disc "
    "SORGENTE]\n"
    "                [--until TT:MM:SS]\n"
    "     quilo-sim --disc SORGENTE --toc\n"
    "Recita un copione senza finestre n\u00E9 suono, in tempo virtuale, e scrive in JSON\n"
    "una riga per ogni comando eseguito e per ogni ripresa dopo una pausa.\n\n"
    "  --root CARTELLA   cartella che fa da unit\u00E0 C: (predefinita: ~/Quilo)\n"
    "  --tracks S1,...   un disco muto di brani lunghi tanti secondi\n"
    "  --disc SORGENTE   le lunghezze dei brani di un disco vero (unit\u00E0, immagine, "
    "cartella)\n"
    "  --until TT:MM:SS  si ferma a quel punto del disco\n"
    "  --toc             stampa la tabella dei brani e il codice del disco\n"
    "  --help, --version\n";

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
        if (quilo::answeredItself(arg, "quilo-sim", kHelp)) return 0;
        if (arg == "--toc") {
            toc = true;
        } else if (arg == "--root" && hasValue) {
            options.root = argv[++i];
        } else if (arg == "--disc" && hasValue) {
            disc = argv[++i];
        } else if (arg == "--tracks" && hasValue) {
            if (!quilo::parseNumbers(argv[++i], ',', tracks))
                return quilo::refuseOptions(
                    "quilo-sim", "--tracks vuole i secondi dei brani separati da virgole (120,95)");
        } else if (arg == "--until" && hasValue) {
            std::vector<int> until;
            if (!quilo::parseNumbers(argv[++i], ':', until) || until.size() != 3)
                return quilo::refuseOptions("quilo-sim",
                                            "--until vuole brano:minuti:secondi (01:02:30)");
            options.until = std::array<int, 3>{until[0], until[1], until[2]};
        } else if (!arg.empty() && arg[0] != '-' && options.script.empty()) {
            options.script = arg;
        } else {
            return quilo::refuseArgument("quilo-sim", arg,
                                         {"--root", "--disc", "--tracks", "--until"});
        }
    }
    if (!quilo::takeShowFile("quilo-sim", options.script, options.root, disc, !tracks.empty()))
        return 1;
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
    if (options.script.empty()) return quilo::refuseOptions("quilo-sim", "manca il copione");
    quilo::QtPictureProber pictures;
    quilo::DecodingSoundCheck sounds;
    return quilo::Simulation(options, pictures, sounds, std::cout, std::cerr).run();
}
