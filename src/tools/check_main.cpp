// quilo-check SCRIPT [--root DIR]: finds what will go wrong when a script plays.
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include <QCoreApplication>

#include "display/Colours.h"
#include "display/view/QtPictureProber.h"
#include "display/view/QuietQtMessages.h"
#include "presentation/PlayCheck.h"
#include "script/ScriptChecker.h"
#include "shared/CommandLine.h"
#include "tools/DecodingSoundCheck.h"

namespace {

const char* const kHelp =
    "uso: quilo-check COPIONE [--root CARTELLA]\n"
    "Legge un copione e il file dei colori come li leggerebbe il lettore e dice che\n"
    "cosa andr\u00E0 storto:\n"
    "errori (copione rifiutato, nome che non finisce con \"txt\", righe troppo corte,\n"
    "colori inesistenti, blocchi non chiusi, file mancanti) e avvisi (tempi fuori\n"
    "ordine o ripetuti, immagini senza tempo per la transizione o che escono dallo\n"
    "schermo, sfondi non 4:3, didascalie nascoste sotto un'immagine, spazi dopo la\n"
    "lettera, cifre del colore mancanti, intestazione assente o con numeri fuori\n"
    "posto, righe non a tempo dopo un'immagine, lettere minuscole, a capo misti).\n\n"
    "  --root CARTELLA  cartella che fa da unit\u00E0 C: (predefinita: ~/Quilo)\n"
    "  --help           questo aiuto\n"
    "  --version        la versione\n\n"
    "Esce con 0 senza errori, 1 con errori, 2 se il file non si pu\u00F2 leggere.\n";

}  // namespace

int main(int argc, char** argv) {
    quilo::quietQtMessages();
    QCoreApplication application(argc, argv);
    std::string script;
    const char* home = std::getenv("HOME");
    std::string root = (std::filesystem::path(home ? home : "/") / "Quilo").string();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (quilo::answeredItself(arg, "quilo-check", kHelp)) return 0;
        if (arg == "--root" && i + 1 < argc) {
            root = argv[++i];
        } else if (script.empty() && !arg.empty() && arg[0] != '-') {
            script = arg;
        } else {
            return quilo::refuseArgument("quilo-check", arg, {"--root"});
        }
    }
    if (script.empty()) {
        std::cerr << "quilo-check: manca il copione; vedi quilo-check --help\n";
        return quilo::kBadArguments;
    }
    const quilo::PathResolver paths(root);
    quilo::QtPictureProber pictures;
    quilo::DecodingSoundCheck sounds;
    // The colour file first: without it no script plays.
    const quilo::CheckReport colours = quilo::checkColourFile(paths);
    if (!colours.diagnostics.empty()) {
        std::cout << quilo::formatReport(paths.resolve(quilo::kColourFile).string(), colours);
    }
    const quilo::CheckReport report = quilo::checkScriptFully(script, root, pictures, sounds);
    std::cout << quilo::formatReport(script, report);
    if (!report.readable) return 2;
    return report.errors() + colours.errors() > 0 ? 1 : 0;
}
