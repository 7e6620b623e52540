#pragma once
// quilo-studio's command line: [SCRIPT] [--root DIR] [--disc SOURCE | --tracks S1,S2,...].

#include <cstdlib>
#include <filesystem>
#include <optional>
#include <string>

#include "bundle/io/ShowCache.h"
#include "cd/io/DiscSources.h"
#include "shared/CommandLine.h"
#include "shared/InstalledDemo.h"
#include "studio/app/StudioApp.h"
#include "tools/DiscChoice.h"

namespace quilo {

inline const char* const kStudioHelp =
    "uso: quilo-studio [COPIONE|SPETTACOLO.quilo] [--root CARTELLA]\n"
    "                  [--disc SORGENTE | --tracks S1,S2,...]\n"
    "Scrive e mette a tempo un copione sulla sua musica: la forma d'onda del disco con le\n"
    "righe del copione, l'anteprima dello spettacolo al punto che si sente, e i tasti per\n"
    "dare a ogni riga il secondo giusto mentre suona. Senza COPIONE ne comincia uno nuovo.\n"
    "Uno spettacolo (.quilo) si modifica nella sua cartella e si salva al suo interno.\n\n"
    "  --root CARTELLA  cartella che fa da unit\u00E0 C: (predefinita: ~/Quilo)\n"
    "  --disc SORGENTE  il disco: unit\u00E0, immagine (.cue, .toc, .nrg) o cartella di brani\n"
    "                   (senza, e senza unit\u00E0 CD, il disco della demo installata)\n"
    "  --tracks S1,...  un disco muto di brani lunghi tanti secondi\n"
    "  --help           questo aiuto\n"
    "  --version        la versione\n";

// The options, or the exit status when the command line is answered or refused.
inline std::optional<int> parseStudioOptions(int argc, char** argv, StudioOptions& options) {
    const char* home = std::getenv("HOME");
    options.root = (std::filesystem::path(home ? home : "/") / "Quilo").string();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (answeredItself(arg, "quilo-studio", kStudioHelp)) return 0;
        if (arg == "--root" && i + 1 < argc) {
            options.root = argv[++i];
        } else if (arg == "--disc" && i + 1 < argc) {
            options.disc = argv[++i];
        } else if (arg == "--tracks" && i + 1 < argc) {
            if (!parseNumbers(argv[++i], ',', options.tracks))
                return refuseOptions("quilo-studio", "--tracks vuole i secondi dei brani (60,90)");
        } else if (options.script.empty() && !arg.empty() && arg[0] != '-') {
            options.script = arg;
        } else {
            return refuseArgument("quilo-studio", arg, {"--root", "--disc", "--tracks"});
        }
    }
    if (!options.disc.empty() && !options.tracks.empty())
        return refuseOptions("quilo-studio", "--disc e --tracks non vanno insieme");
    // A show file is edited in its own folder, on its own music unless
    // another disc is named; saving writes it back.
    if (isShowFile(options.script)) {
        std::string error;
        auto show = openShowFile(options.script, error);
        if (!show) {
            std::cerr << "quilo-studio: " << options.script << ": " << error << "\n";
            return 1;
        }
        options.showFile = options.script;
        options.script = show->script;
        options.root = show->folder;
        if (options.disc.empty() && options.tracks.empty()) options.disc = show->disc;
        options.show = std::move(show);
    }
    // As the player does: with no disc named and no drive, the demo's own.
    if (options.disc.empty() && options.tracks.empty() && !hasCdDrive()) {
        std::error_code ec;
        const auto self = std::filesystem::read_symlink("/proc/self/exe", ec);
        const auto demo = ec ? std::nullopt : findInstalledDemo(self.parent_path());
        if (demo && !demo->disc.empty()) options.disc = demo->disc.string();
    }
    return std::nullopt;
}

}  // namespace quilo
