#include "script/check/NamedFiles.h"

#include <cmath>
#include <filesystem>

#include "script/PicturePlacement.h"
#include "shared/RegularFile.h"

namespace quilo {
namespace {

constexpr int kTransitionSeconds = 7;

// The seconds to the next line, which time a picture's transition, come
// from whatever line follows it in the file.
void checkLineAfterPicture(CheckContext& c, int i, int next) {
    const DecodedLine& d = c.decoded(next);
    if (next == i || (d.track >= 1 && d.track <= kLastTrack) || next == c.state.lineCount - 1)
        return;
    c.warning(i, "la riga seguente (" + std::to_string(next + 1) +
                     ") non è a tempo, ma è lei a dare il tempo della transizione: i suoi "
                     "caratteri 7-8 contano come secondi (" +
                     std::to_string(secondsBetween(c.decoded(i).seconds, d.seconds)) +
                     " secondi alla riga seguente); spostarla dopo la prossima riga a tempo");
}

}  // namespace

bool checkFile(CheckContext& c, int i, const std::string& name, const char* what) {
    std::error_code ec;
    const std::string file = c.files.resolve(name);
    const bool picture = std::string(what).find("immagine") == 0;
    const std::string named = std::string(what) + " " + quoted(name);
    if (!std::filesystem::exists(file, ec)) {
        c.error(i, named + (picture ? " non trovata (" : " non trovato (") + file + ")");
    } else if (!isRegularFile(file)) {
        c.error(i, named + " non è un file regolare (" + file + ")");
    } else if (picture && c.checks.pictures && !c.checks.pictures->pixelSize(file)) {
        c.error(i, named + " non si può leggere come immagine (" + file + ")");
    } else if (!picture && c.checks.sounds && !c.checks.sounds->playable(file)) {
        c.error(i, named + " non si può riprodurre (" + file + ")");
    } else {
        return true;
    }
    return false;
}

// Past the edge, pictures and captions run past it too; other proportions
// than 4:3 leave part of the display unused.
void checkBackgroundShape(CheckContext& c, int i, const std::string& name) {
    if (!c.checks.pictures) return;
    const auto size = c.checks.pictures->pixelSize(c.files.resolve(name));
    if (!size || size->width <= 0 || size->height <= 0) return;
    const double scale = backgroundScale(size->width, size->height);
    const double width = size->width * scale;
    const double height = size->height * scale;
    const ShownShare shown = shownShare(0, 0, width, height);
    const bool shrinks = width < kDisplayWidth * 0.99 || height < kDisplayHeight * 0.99;
    if (!visiblyCut(shown) && !shrinks) return;
    std::string text = "l'immagine di sfondo " + quoted(name) + " (" + std::to_string(size->width) +
                       " x " + std::to_string(size->height) + " pixel) ";
    if (visiblyCut(shown)) {
        text += "\u00E8 disegnata a " + std::to_string(std::lround(scale)) +
                " punti per pixel ed esce dallo schermo (se ne vede il " + percent(shown.across) +
                " in larghezza e il " + percent(shown.down) + " in altezza)" +
                (shrinks ? " e " : "");
    }
    if (shrinks) text += "non \u00E8 in proporzione 4:3";
    text += ": immagini e didascalie si misurano su di essa, " +
            std::to_string(std::lround(width)) + " x " + std::to_string(std::lround(height)) +
            " punti invece dei 11701 x 8776 dello schermo";
    const PixelSize whole = largestWholeBackgroundLike(size->width, size->height);
    if (visiblyCut(shown) && whole.width > 0) {
        text += "; di queste proporzioni si vede intera fino a " + std::to_string(whole.width) +
                " x " + std::to_string(whole.height) + " pixel";
    }
    c.warning(i, text);
}

void checkNamedFile(CheckContext& c, int i, ScriptCommand command, const std::string& letter) {
    const std::string name = nameBody(c.text(i));
    if (command == ScriptCommand::Background && name == kBlank) return;  // ends the pass, by design
    if (name.empty()) {
        c.error(i, "nessun nome di file prima della lettera " + quoted(letter) +
                       (command == ScriptCommand::Sound ? ": il suono non si può riprodurre"
                                                        : ": l'immagine risulta mancante"));
        return;
    }
    const bool found = checkFile(c, i, name,
                                 command == ScriptCommand::Sound        ? "suono"
                                 : command == ScriptCommand::Background ? "immagine di sfondo"
                                                                        : "immagine");
    if (found && command == ScriptCommand::Background) checkBackgroundShape(c, i, name);
    if (command != ScriptCommand::Picture) return;
    const int next = i + 1 < LineTable::kSize ? i + 1 : i;
    checkLineAfterPicture(c, i, next);
    const std::int32_t seconds = secondsBetween(c.decoded(i).seconds, c.decoded(next).seconds);
    if (seconds < kTransitionSeconds) {
        c.warning(i, "solo " + std::to_string(seconds) +
                         " secondi alla riga seguente: l'immagine compare senza transizione "
                         "(ne servono 7)");
    }
}

}  // namespace quilo
