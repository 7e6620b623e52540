// quilo-check SCRIPT [--root DIR] [--disc SOURCE | --tracks S1,...]: finds
// what will go wrong when a script plays.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "bundle/io/ShowCache.h"
#include "display/Colours.h"
#include "display/view/QtPictureProber.h"
#include "display/view/QuietQtMessages.h"
#include "presentation/PlayCheck.h"
#include "script/ScriptChecker.h"
#include "shared/CommandLine.h"
#include "tools/DecodingSoundCheck.h"
#include "tools/DiscChoice.h"

namespace {

const char* const kHelp =
    "uso: quilo-check COPIONE|SPETTACOLO.quilo [--root CARTELLA] [--disc SORGENTE | --tracks "
    "S1,S2,...]\n"
    "Legge un copione e il file dei colori come li leggerebbe il lettore e dice che\n"
    "cosa andr\u00E0 storto:\n"
    "errori (copione rifiutato, nome che non finisce con \"txt\", righe troppo corte,\n"
    "colori inesistenti, blocchi non chiusi, file mancanti) e avvisi (tempi fuori\n"
    "ordine o ripetuti, immagini senza tempo per la transizione o che escono dallo\n"
    "schermo, sfondi non 4:3, didascalie nascoste sotto un'immagine, spazi dopo la\n"
    "lettera, cifre del colore mancanti, intestazione assente o con numeri fuori\n"
    "posto, righe non a tempo dopo un'immagine, lettere minuscole, a capo misti,\n"
    "tempi scritti male, righe che non verranno mai eseguite).\n\n"
    "  --root CARTELLA  cartella che fa da unit\u00E0 C: (predefinita: ~/Quilo)\n"
    "  --disc SORGENTE  il disco dello spettacolo (unit\u00E0, immagine .cue/.toc/.nrg o\n"
    "                   cartella di brani): ogni riga \u00E8 controllata sul suo brano\n"
    "  --tracks S1,...  lo stesso, per brani lunghi tanti secondi\n"
    "  --help           questo aiuto\n"
    "  --version        la versione\n\n"
    "Esce con 0 senza errori, 1 con errori, 2 se il file non si pu\u00F2 leggere.\n";

}  // namespace

int main(int argc, char** argv) {
    quilo::quietQtMessages();
    QCoreApplication application(argc, argv);
    std::string script;
    std::string disc;
    std::vector<int> seconds;
    const char* home = std::getenv("HOME");
    std::string root = (std::filesystem::path(home ? home : "/") / "Quilo").string();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (quilo::answeredItself(arg, "quilo-check", kHelp)) return 0;
        const bool hasValue = i + 1 < argc;
        if (arg == "--root" && hasValue) {
            root = argv[++i];
        } else if (arg == "--disc" && hasValue) {
            disc = argv[++i];
        } else if (arg == "--tracks" && hasValue) {
            if (!quilo::parseNumbers(argv[++i], ',', seconds))
                return quilo::refuseOptions(
                    "quilo-check",
                    "--tracks vuole i secondi dei brani separati da virgole (120,95)");
        } else if (script.empty() && !arg.empty() && arg[0] != '-') {
            script = arg;
        } else {
            return quilo::refuseArgument("quilo-check", arg, {"--root", "--disc", "--tracks"});
        }
    }
    if (script.empty()) {
        std::cerr << "quilo-check: manca il copione; vedi quilo-check --help\n";
        return quilo::kBadArguments;
    }
    // A show file is checked as it will play: from its own folder, against
    // its own music when it carries it and no other disc is named.
    if (!quilo::takeShowFile("quilo-check", script, root, disc, !seconds.empty())) return 2;
    const quilo::PathResolver paths(root);
    quilo::QtPictureProber pictures;
    quilo::DecodingSoundCheck sounds;
    // The colour file first: without it no script plays.
    const quilo::CheckReport colours = quilo::checkColourFile(paths);
    if (!colours.diagnostics.empty()) {
        std::cout << quilo::formatReport(paths.resolve(quilo::kColourFile).string(), colours);
    }
    std::optional<std::vector<std::int32_t>> tracks;
    if (!disc.empty()) {
        auto source = quilo::openNamedDisc(disc, "quilo-check");
        if (!source) return quilo::kBadArguments;
        tracks.emplace();
        for (const auto& track : source->tracks()) tracks->push_back(track.length);
    } else if (!seconds.empty()) {
        tracks = quilo::silentTracks(seconds, "quilo-check");
    }
    const quilo::CheckReport report =
        quilo::checkScriptFully(script, root, pictures, sounds, std::nullopt, tracks);
    std::cout << quilo::formatReport(script, report);
    if (!tracks && report.readable) std::cout << quilo::uncheckedDiscNote(script);
    if (!report.readable) return 2;
    return report.errors() + colours.errors() > 0 ? 1 : 0;
}
