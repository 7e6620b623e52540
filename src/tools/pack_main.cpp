// quilo-pack SCRIPT [--root DIR] [--disc CUE | --tracks DIR | --drive DEV] [--music]
//            [--allow-missing] [--title TEXT] -o SHOW.quilo
// quilo-pack --list SHOW.quilo | --verify SHOW.quilo
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <iostream>
#include <string>

#include <QCoreApplication>

#include "bundle/io/BundleReader.h"
#include "bundle/io/ShowCache.h"
#include "bundle/io/ShowPacker.h"
#include "display/view/QtPictureProber.h"
#include "display/view/QuietQtMessages.h"
#include "presentation/PlayCheck.h"
#include "shared/CommandLine.h"
#include "tools/DecodingSoundCheck.h"

namespace {

const char* const kHelp =
    "uso: quilo-pack COPIONE [--root CARTELLA] [--disc IMMAGINE | --tracks CARTELLA |\n"
    "                --drive UNIT\u00C0] [--music] [--allow-missing] [--title TITOLO]\n"
    "                -o SPETTACOLO.quilo\n"
    "     quilo-pack --list SPETTACOLO.quilo\n"
    "     quilo-pack --verify SPETTACOLO.quilo\n"
    "Mette in un solo file il copione, il file dei colori e ogni immagine e suono che\n"
    "il copione nomina, ai loro posti sotto la cartella che fa da unit\u00E0 C:, e a\n"
    "richiesta la musica del disco (un FLAC con la tabella dei brani del disco).\n"
    "Quel file si apre con quilo, quilo-check, quilo-sim, quilo-export e quilo-studio\n"
    "su qualunque computer, senza --root e, con la musica dentro, senza il CD.\n\n"
    "  --root CARTELLA    cartella che fa da unit\u00E0 C: (predefinita: ~/Quilo)\n"
    "  --disc IMMAGINE    il disco dello spettacolo: immagine .cue/.toc/.nrg\n"
    "  --tracks CARTELLA  il disco come cartella di brani\n"
    "  --drive UNIT\u00C0     il disco nell'unit\u00E0 CD (letto con cdparanoia)\n"
    "  --music            mette nello spettacolo la musica del disco (senza un disco\n"
    "                     nominato, quello dell'unit\u00E0 predefinita)\n"
    "  --allow-missing    impacchetta anche se mancano file, dicendo quali\n"
    "  --title TITOLO     il titolo (predefinito: il nome del copione)\n"
    "  -o FILE            lo spettacolo da scrivere (.quilo)\n"
    "  --list FILE        elenca il contenuto di uno spettacolo\n"
    "  --verify FILE      controlla ogni file di uno spettacolo con la sua impronta\n\n"
    "Esce con 0 se riesce, 1 se lo spettacolo non si fa o non \u00E8 integro, 2 per\n"
    "argomenti sbagliati.\n";

std::string megabytes(std::uint64_t bytes) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f MB", static_cast<double>(bytes) / 1e6);
    return text;
}

int listShow(const std::string& file, bool verify) {
    std::string error;
    const auto manifest = quilo::readShowManifest(file, error);
    if (!manifest) {
        std::cerr << "quilo-pack: " << file << ": " << error << "\n";
        return 1;
    }
    if (verify) {
        if (!quilo::readShowMembers(file, *manifest, "", error)) {
            std::cerr << "quilo-pack: " << file << ": " << error << "\n";
            return 1;
        }
        std::cout << file << ": integro, " << manifest->members.size() << " file, "
                  << megabytes(manifest->totalBytes()) << ", ognuno uguale alla sua impronta\n";
        return 0;
    }
    std::cout << "Titolo: " << manifest->title << "\nCopione: " << manifest->script
              << "\nMusica: " << (manifest->disc.empty() ? "no (serve il CD)" : manifest->disc)
              << "\n";
    for (const auto& member : manifest->members)
        std::cout << "  " << member.size << "\t" << member.path << "\n";
    std::cout << manifest->members.size() << " file, " << megabytes(manifest->totalBytes()) << "\n";
    return 0;
}

// The checker's word before packing: errors on the standard error, so that
// the author sees them without opening the checker.
void checkFirst(const std::string& script, const std::string& root) {
    quilo::QtPictureProber pictures;
    quilo::DecodingSoundCheck sounds;
    const auto report = quilo::checkScriptFully(script, root, pictures, sounds, std::nullopt, {});
    if (report.errors() == 0) return;
    quilo::CheckReport errors;
    for (const auto& d : report.diagnostics) {
        if (d.error) errors.diagnostics.push_back(d);
    }
    std::cerr << quilo::formatReport(script, errors);
}

}  // namespace

int main(int argc, char** argv) {
    quilo::quietQtMessages();
    QCoreApplication application(argc, argv);
    quilo::PackRequest request;
    const char* home = std::getenv("HOME");
    request.root = (std::filesystem::path(home ? home : "/") / "Quilo").string();
    std::string list;
    bool verify = false;
    bool music = false;
    int sources = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (quilo::answeredItself(arg, "quilo-pack", kHelp)) return 0;
        const bool hasValue = i + 1 < argc;
        if (arg == "--root" && hasValue) {
            request.root = argv[++i];
        } else if ((arg == "--disc" || arg == "--tracks" || arg == "--drive") && hasValue) {
            request.disc = argv[++i];
            ++sources;
        } else if (arg == "--music") {
            music = true;
        } else if (arg == "--allow-missing") {
            request.allowMissing = true;
        } else if (arg == "--title" && hasValue) {
            request.title = argv[++i];
        } else if (arg == "-o" && hasValue) {
            request.output = argv[++i];
        } else if ((arg == "--list" || arg == "--verify") && hasValue && list.empty()) {
            verify = arg == "--verify";
            list = argv[++i];
        } else if (request.script.empty() && !arg.empty() && arg[0] != '-') {
            request.script = arg;
        } else {
            return quilo::refuseArgument(
                "quilo-pack", arg,
                {"--root", "--disc", "--tracks", "--drive", "--title", "-o", "--list", "--verify"});
        }
    }
    if (!list.empty()) return listShow(list, verify);
    if (request.script.empty()) return quilo::refuseOptions("quilo-pack", "manca il copione");
    if (request.output.empty() || !quilo::isShowFile(request.output))
        return quilo::refuseOptions("quilo-pack", "serve -o SPETTACOLO.quilo");
    if (sources > 1)
        return quilo::refuseOptions("quilo-pack", "--disc, --tracks e --drive non vanno insieme");
    request.music = music;
    // A show file already there is kept beside the new one, never lost.
    std::error_code ec;
    const bool replacing = std::filesystem::exists(request.output, ec);
    request.keepBackup = true;
    checkFirst(request.script, request.root);
    const bool tty = ::isatty(STDERR_FILENO) == 1;
    int shown = -1;
    const auto progress = [&](const std::string& stage, std::uint64_t done, std::uint64_t total) {
        const int percent = total ? static_cast<int>(done * 100 / total) : 100;
        if (!tty || percent == shown) return;
        shown = percent;
        std::cerr << "\r" << stage << ": " << percent << " %   " << std::flush;
    };
    quilo::PackReport report;
    std::string error;
    const bool packed = quilo::packShow(request, report, error, progress);
    if (tty && shown >= 0) std::cerr << "\r                        \r";
    if (!packed) {
        std::cerr << "quilo-pack: " << error << "\n";
        return 1;
    }
    for (const auto& missing : report.missing)
        std::cerr << "quilo-pack: lasciato fuori, " << missing << "\n";
    for (const auto& note : report.notes) std::cerr << "quilo-pack: " << note << "\n";
    if (replacing) std::cerr << "quilo-pack: il file di prima è in " << request.output << ".bak\n";
    std::cout << request.output << ": " << report.members << " file, " << megabytes(report.bytes)
              << (music ? ", musica compresa" : ", senza musica (serve il CD)") << "\n";
    return 0;
}
