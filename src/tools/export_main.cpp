// quilo-export SCRIPT [--root DIR] (--disc SOURCE | --tracks S1,S2,...) -o OUT.mp4|OUT.mkv
//              [--size 1920x1080] [--fps 30] [--from TT:MM:SS] [--until TT:MM:SS]
// quilo-export SCRIPT [--root DIR] (--disc SOURCE | --tracks S1,S2,...) --storyboard DIR
//              [--size 640x480]
#include <unistd.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <csignal>
#include <filesystem>
#include <iostream>
#include <optional>
#include <sstream>

#include "bundle/io/ShowCache.h"
#include "cd/SilentDisc.h"
#include "display/view/DisplayView.h"
#include "display/view/QtPictureProber.h"
#include "display/view/QuietQtMessages.h"
#include "shared/CommandLine.h"
#include "tools/DecodingSoundCheck.h"
#include "tools/DiscChoice.h"
#include "tools/export/Storyboard.h"
#include "tools/export/VideoExport.h"

namespace {

const char* const kHelp =
    "uso: quilo-export COPIONE|SPETTACOLO.quilo [--root CARTELLA] (--disc SORGENTE | --tracks "
    "S1,S2,...)\n"
    "                  -o VIDEO.mp4|VIDEO.mkv [--size 1920x1080] [--fps 30]\n"
    "                  [--from TT:MM:SS] [--until TT:MM:SS]\n"
    "     quilo-export COPIONE [--root CARTELLA] (--disc SORGENTE | --tracks S1,S2,...)\n"
    "                  --storyboard CARTELLA [--size 640x480]\n"
    "Fa di uno spettacolo un video (MP4: H.264 e AAC; MKV: H.264 e FLAC senza perdite)\n"
    "o una pagina con un'immagine per ogni scena (index.html).\n\n"
    "  --root CARTELLA     cartella che fa da unit\u00E0 C: (predefinita: ~/Quilo)\n"
    "  --disc SORGENTE     il disco: unit\u00E0, immagine (.cue, .toc, .nrg) o cartella di brani\n"
    "  --tracks S1,...     oppure un disco muto di brani lunghi tanti secondi\n"
    "  -o VIDEO            il file video da scrivere\n"
    "  --storyboard CART.  la cartella delle immagini e di index.html\n"
    "  --size LxA          la misura in pixel\n"
    "  --fps N             fotogrammi al secondo (1-120)\n"
    "  --from, --until     dove comincia e dove finisce, brano:minuti:secondi\n"
    "  --help, --version\n";

volatile std::sig_atomic_t interrupted = 0;

bool endsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() &&
           text.compare(text.size() - end.size(), end.size(), end) == 0;
}

// Encodes the show into a file beside OUT, renamed to OUT only once complete:
// an interrupted or failed export never leaves a file that looks finished.
int writeVideo(quilo::ExportOptions options, quilo::PictureProber& pictures) {
    const std::string finalName = options.output;
    options.output = finalName + ".parziale";
    options.shownAs = finalName;
    std::signal(SIGINT, [](int) { interrupted = 1; });
    std::signal(SIGTERM, [](int) { interrupted = 1; });
    options.progress = isatty(STDERR_FILENO) != 0;
    options.interrupted = &interrupted;
    const int status = quilo::exportVideo(options, pictures, std::cerr);
    std::error_code ec;
    if (status != 0 || interrupted) {
        std::filesystem::remove(options.output, ec);
        if (interrupted) std::cerr << "\nquilo-export: interrotto, nessun video scritto\n";
        return interrupted ? 130 : 1;
    }
    std::filesystem::rename(options.output, finalName, ec);
    if (ec) {
        std::filesystem::remove(options.output, ec);
        std::cerr << "quilo-export: impossibile scrivere " << finalName << "\n";
        return 1;
    }
    std::cerr << "quilo-export: video scritto in " << finalName << "\n";
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    quilo::quietQtMessages();
    quilo::SimOptions options;
    options.program = "quilo-export";
    options.root = QDir::home().filePath(QStringLiteral("Quilo")).toStdString();
    std::string disc;
    std::string storyboard;
    std::string output;
    std::vector<int> tracks;
    std::vector<int> size;
    int fps = 30;
    std::optional<quilo::CdPosition> from;
    std::optional<quilo::CdPosition> until;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (quilo::answeredItself(arg, "quilo-export", kHelp)) return 0;
        if (arg == "--root" && hasValue) {
            options.root = argv[++i];
        } else if (arg == "--disc" && hasValue) {
            disc = argv[++i];
        } else if (arg == "--tracks" && hasValue) {
            if (!quilo::parseNumbers(argv[++i], ',', tracks))
                return quilo::refuseOptions(
                    "quilo-export",
                    "--tracks vuole i secondi dei brani separati da virgole (120,95)");
        } else if (arg == "--storyboard" && hasValue) {
            storyboard = argv[++i];
        } else if (arg == "-o" && hasValue) {
            output = argv[++i];
        } else if (arg == "--fps" && hasValue) {
            std::vector<int> value;
            if (!quilo::parseNumbers(argv[++i], ',', value) || value.size() != 1 || value[0] < 1 ||
                value[0] > 120) {
                return quilo::refuseOptions("quilo-export", "--fps vuole un numero da 1 a 120");
            }
            fps = value[0];
        } else if ((arg == "--until" || arg == "--from") && hasValue) {
            std::vector<int> value;
            if (!quilo::parseNumbers(argv[++i], ':', value) || value.size() != 3)
                return quilo::refuseOptions(
                    "quilo-export", "--from e --until vogliono brano:minuti:secondi (01:02:30)");
            (arg == "--from" ? from : until) = quilo::CdPosition{value[0], value[1], value[2], 0};
        } else if (arg == "--size" && hasValue) {
            size.clear();
            if (!quilo::parseNumbers(argv[++i], 'x', size) || size.size() != 2 || size[0] < 16 ||
                size[1] < 16 || size[0] > 7680 || size[1] > 4320) {
                return quilo::refuseOptions("quilo-export",
                                            "--size vuole LARGHEZZAxALTEZZA, da 16x16 a 7680x4320");
            }
        } else if (!arg.empty() && arg[0] != '-' && options.script.empty()) {
            options.script = arg;
        } else {
            return quilo::refuseArgument("quilo-export", arg,
                                         {"--root", "--disc", "--tracks", "--storyboard", "-o",
                                          "--fps", "--size", "--from", "--until"});
        }
    }
    const bool video = !output.empty();
    if (options.script.empty()) return quilo::refuseOptions("quilo-export", "manca il copione");
    if (!quilo::takeShowFile("quilo-export", options.script, options.root, disc, !tracks.empty()))
        return 1;
    if (video == !storyboard.empty())
        return quilo::refuseOptions("quilo-export", "serve -o VIDEO oppure --storyboard CARTELLA");
    if (disc.empty() == tracks.empty())
        return quilo::refuseOptions("quilo-export",
                                    "serve --disc SORGENTE oppure --tracks S1,S2,...");
    if (video && !endsWith(output, ".mp4") && !endsWith(output, ".mkv"))
        return quilo::refuseOptions("quilo-export", "il video si scrive in un file .mp4 o .mkv");
    if (size.empty()) size = video ? std::vector<int>{1920, 1080} : std::vector<int>{640, 480};
    // H.264 in 4:2:0 wants even sizes.
    if (video && (size[0] % 2 != 0 || size[1] % 2 != 0))
        return quilo::refuseOptions("quilo-export",
                                    "la misura di un video vuole larghezza e altezza pari");
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
    quilo::QtPictureProber prober;
    if (video) {
        quilo::ExportOptions exportOptions;
        exportOptions.script = options.script;
        exportOptions.root = options.root;
        const auto lengths = options.trackSectors;
        exportOptions.disc = [disc, lengths]() -> std::unique_ptr<quilo::DiscSource> {
            if (disc.empty()) return std::make_unique<quilo::SilentDisc>(lengths);
            std::string error;
            return quilo::openDiscSource(disc, error);
        };
        exportOptions.output = output;
        exportOptions.container = endsWith(output, ".mkv") ? quilo::VideoWriter::Container::Matroska
                                                           : quilo::VideoWriter::Container::Mp4;
        exportOptions.size = QSize(size[0], size[1]);
        exportOptions.fps = fps;
        exportOptions.from = from;
        exportOptions.until = until;
        return writeVideo(exportOptions, prober);
    }
    if (!QDir().mkpath(QString::fromStdString(storyboard))) {
        std::cerr << "quilo-export: impossibile creare la cartella " << storyboard << "\n";
        return 1;
    }
    quilo::Storyboard board(QString::fromStdString(storyboard), QSize(size[0], size[1]));
    bool written = true;
    options.onCue = [&](const quilo::CueReport& cue) { written = board.add(cue) && written; };
    quilo::QtPictureProber pictures;
    quilo::DecodingSoundCheck sounds;
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
