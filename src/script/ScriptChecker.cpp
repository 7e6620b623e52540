#include "script/ScriptChecker.h"

#include <algorithm>
#include <filesystem>
#include <map>

#include "display/Colours.h"
#include "script/PicturePlacement.h"
#include "script/ScriptCommand.h"
#include "script/ScriptLoader.h"
#include "shared/LineFormat.h"
#include "shared/RegularFile.h"
#include "shared/ScriptFiles.h"

namespace quilo {
namespace {

constexpr int kTransitionSeconds = 7;

std::string quoted(const std::string& s) {
    return "\u00AB" + s + "\u00BB";
}

class Checker {
  public:
    Checker(const Modulo1& state, const ScriptFiles& files, FileChecks checks)
        : s_(state), files_(files), checks_(checks) {}

    std::vector<Diagnostic> run() {
        checkLineEnds();
        checkHeader();
        for (int i = 0; i < s_.lineCount; ++i) {
            const DecodedLine& d = s_.scriptLines.decoded(i);
            if (d.track == 0 || d.track == 99) continue;
            i = checkCue(i);
        }
        return std::move(found_);
    }

  private:
    void error(int index, std::string text) {
        found_.push_back({index + 1, true, std::move(text)});
    }
    void warning(int index, std::string text) {
        found_.push_back({index + 1, false, std::move(text)});
    }
    const std::string& text(int index) const { return s_.scriptLines[index]; }

    // A file that ends its lines with CR LF keeps a lone LF inside the line,
    // so two lines the author sees are one to the player.
    void checkLineEnds() {
        for (int i = 0; i < s_.lineCount; ++i) {
            const auto lf = text(i).find('\n');
            if (lf == std::string::npos) continue;
            warning(i,
                    "la riga finisce con un a capo LF senza CR mentre il file usa CR LF: il "
                    "lettore la unisce alla riga seguente (" +
                        quoted(text(i).substr(0, std::min<std::size_t>(lf, 40))) +
                        "); salvare il file con un solo tipo di a capo");
        }
    }

    void checkHeader() {
        int headers = 0;
        for (int i = 0; i < s_.lineCount; ++i) {
            if (s_.scriptLines.decoded(i).track != 99) continue;
            ++headers;
            if (headers == 7) checkHeaderBackground(i);
            if (headers == 8)
                warning(i, "più di sette righe d'intestazione: da qui in poi non contano");
        }
        if (headers < 7) {
            warning(0, "l'intestazione ha " + std::to_string(headers) +
                           (headers == 1 ? " riga" : " righe") +
                           " su sette: i colori mancanti valgono 0 e non c'è immagine di sfondo");
        }
    }

    void checkHeaderBackground(int i) {
        const std::string name = nameBody(text(i));
        if (!name.empty() && name != kBlank) checkFile(i, name, "immagine di sfondo");
    }

    // Whether the file is there and reads as what it should be.
    bool checkFile(int i, const std::string& name, const char* what) {
        std::error_code ec;
        const std::string file = files_.resolve(name);
        const bool picture = std::string(what).find("immagine") == 0;
        const std::string named = std::string(what) + " " + quoted(name);
        if (!std::filesystem::exists(file, ec)) {
            error(i, named + (picture ? " non trovata (" : " non trovato (") + file + ")");
        } else if (!isRegularFile(file)) {
            error(i, named + " non è un file regolare (" + file + ")");
        } else if (picture && checks_.pictures && !checks_.pictures->pixelSize(file)) {
            error(i, named + " non si può leggere come immagine (" + file + ")");
        } else if (!picture && checks_.sounds && !checks_.sounds->playable(file)) {
            error(i, named + " non si può riprodurre (" + file + ")");
        } else {
            return true;
        }
        return false;
    }

    // Checks the cue at `i`; returns the index of its last line (a block's end).
    int checkCue(int i) {
        const DecodedLine& d = s_.scriptLines.decoded(i);
        checkTime(i, d);
        const CommandTraits& traits = traitsFor(d.commandLetter);
        if (traits.command == ScriptCommand::PlainCaption) checkLowerCase(i, d.commandLetter);
        if (d.length < traits.shortest) {
            error(i, traits.command == ScriptCommand::PlainCaption
                         ? "riga troppo corta per un testo: servono almeno " +
                               std::to_string(traits.shortest) + " caratteri"
                         : "riga troppo corta per il comando " + quoted(d.commandLetter) +
                               ": servono almeno " + std::to_string(traits.shortest) +
                               " caratteri");
        } else if (traits.body == LineBody::TextAndNumber) {
            checkColour(i, traits.command, d.commandLetter);
        } else if (namesFile(traits.command)) {
            checkNamedFile(i, traits.command, d.commandLetter);
        }
        return traits.closedBy.empty() ? i : blockEnd(i, traits.closedBy);
    }

    void checkTime(int i, const DecodedLine& d) {
        const std::int64_t key = std::int64_t{d.track} * 1'000'000 + d.minutes * 60 + d.seconds;
        const auto same = firstAt_.find(d.packedTime);
        if (same != firstAt_.end()) {
            warning(i, "stesso tempo della riga " + std::to_string(same->second + 1) +
                           ": viene eseguita solo la prima");
        } else {
            firstAt_[d.packedTime] = i;
            if (key < lastKey_)
                warning(i, "tempo fuori ordine: viene prima di quello della riga precedente");
        }
        lastKey_ = std::max(lastKey_, key);
    }

    void checkLowerCase(int i, const std::string& letter) {
        if (letter.size() != 1 || letter[0] < 'a' || letter[0] > 'z') return;
        const std::string upper(1, static_cast<char>(letter[0] - 'a' + 'A'));
        if (commandFor(upper) != ScriptCommand::PlainCaption) {
            warning(i, "l'ultima lettera " + quoted(letter) +
                           " è minuscola: la riga è un testo; per il comando scrivere " +
                           quoted(upper));
        }
    }

    void checkColour(int i, ScriptCommand command, const std::string& letter) {
        if (command == ScriptCommand::Pause) return;
        const auto number = colouredTextBody(text(i)).number;
        const bool ownColour = command == ScriptCommand::TextColourCaption ||
                               command == ScriptCommand::BackColourCaption;
        if (number && (*number < 0 || *number > 15) && !(ownColour && *number == 99)) {
            error(i, "il colore " + std::to_string(*number) + " non esiste (0-15" +
                         (ownColour ? " o 99" : "") + "): il comando " + quoted(letter) +
                         " lascia il colore com'era");
        }
    }

    void checkNamedFile(int i, ScriptCommand command, const std::string& letter) {
        const std::string name = nameBody(text(i));
        if (command == ScriptCommand::Background && name == kBlank)
            return;  // ends the pass, by design
        if (name.empty()) {
            error(i, "nessun nome di file prima della lettera " + quoted(letter) +
                         (command == ScriptCommand::Sound ? ": il suono non si può riprodurre"
                                                          : ": l'immagine risulta mancante"));
            return;
        }
        const bool found = checkFile(i, name,
                                     command == ScriptCommand::Sound        ? "suono"
                                     : command == ScriptCommand::Background ? "immagine di sfondo"
                                                                            : "immagine");
        if (found && command == ScriptCommand::Picture) checkPictureSize(i, name, letter);
        if (command == ScriptCommand::Picture) {
            const int next = i + 1 < LineTable::kSize ? i + 1 : i;
            const std::int32_t seconds = secondsBetween(s_.scriptLines.decoded(i).seconds,
                                                        s_.scriptLines.decoded(next).seconds);
            if (seconds < kTransitionSeconds) {
                warning(i, "solo " + std::to_string(seconds) +
                               " secondi alla riga seguente: l'immagine compare senza transizione "
                               "(ne servono 7)");
            }
        }
    }

    void checkPictureSize(int i, const std::string& name, const std::string& letter) {
        if (!checks_.pictures) return;
        const auto size = checks_.pictures->pixelSize(files_.resolve(name));
        const PixelSize most = largestWholePicture(letter);
        if (!size || (size->width <= most.width && size->height <= most.height)) return;
        warning(i, "immagine " + quoted(name) + " troppo grande per lo schermo (" +
                       std::to_string(size->width) + " x " + std::to_string(size->height) +
                       " pixel): anche alla scala più piccola se ne vede solo la parte in alto "
                       "a sinistra; con la lettera " +
                       quoted(letter) + " si vede intera fino a " + std::to_string(most.width) +
                       " x " + std::to_string(most.height) + " pixel");
    }

    int blockEnd(int i, std::string_view closing) {
        for (int k = i + 1; k < s_.lineCount; ++k) {
            const DecodedLine& line = s_.scriptLines.decoded(k);
            if (line.track != 0 && line.track != 99 &&
                line.packedTime != s_.scriptLines.decoded(i).packedTime) {
                warning(
                    k,
                    "riga di un blocco con un proprio tempo: quando arriva il suo secondo viene "
                    "eseguita anche come comando");
            }
            if (line.commandLetter == closing) return k;
        }
        error(i,
              "blocco senza la riga di chiusura che termina con " + quoted(std::string(closing)));
        return s_.lineCount;
    }

    const Modulo1& s_;
    const ScriptFiles& files_;
    FileChecks checks_;
    std::vector<Diagnostic> found_;
    std::map<std::int32_t, int> firstAt_;
    std::int64_t lastKey_ = -1;
};

}  // namespace

void sortByLine(CheckReport& report) {
    std::stable_sort(report.diagnostics.begin(), report.diagnostics.end(),
                     [](const Diagnostic& a, const Diagnostic& b) { return a.line < b.line; });
}

int CheckReport::errors() const {
    int n = 0;
    for (const auto& d : diagnostics) n += d.error;
    return n;
}

int CheckReport::warnings() const {
    return static_cast<int>(diagnostics.size()) - errors();
}

CheckReport checkScript(const std::string& path, const PathResolver& paths, FileChecks checks) {
    Modulo1 state;
    state.scriptPath = path;
    ScriptLoader loader(state, paths);
    CheckReport report;
    if (auto refused = loader.MemorizzaLetturaRiga()) {
        if (refused->reason == ScriptError::Reason::Unreadable) report.readable = false;
        const int line = refused->reason == ScriptError::Reason::LineTooLong ? refused->line
                         : refused->reason == ScriptError::Reason::TooManyLines
                             ? LineTable::kSize + 1
                             : 1;
        report.diagnostics.push_back({line, true, refused->message});
        return report;
    }
    const ScriptFiles files(state, paths);
    report.diagnostics = Checker(state, files, checks).run();
    sortByLine(report);
    return report;
}

CheckReport checkColourFile(const PathResolver& paths) {
    const std::string path = paths.resolve(kColourFile).string();
    CheckReport report;
    std::vector<std::string> lines;
    const FileProblem problem = readColourFileLines(path, lines);
    if (problem != FileProblem::None) {
        report.readable = false;
        report.diagnostics.push_back(
            {1, true, "il programma non parte: " + describeProblem(problem) + " (" + path + ")"});
        return report;
    }
    const char* names[] = {"rosso dello sfondo", "verde dello sfondo", "blu dello sfondo",
                           "rosso del testo",    "verde del testo",    "blu del testo"};
    for (std::size_t i = 0; i < 6; ++i) {
        const int line = static_cast<int>(i) + 1;
        if (i >= lines.size()) {
            report.diagnostics.push_back({line, true,
                                          "manca la riga del " + std::string(names[i]) +
                                              ": servono sei numeri, uno per riga"});
            continue;
        }
        const auto value = colourFileNumber(lines[i]);
        if (!value) {
            report.diagnostics.push_back(
                {line, true,
                 "\u00AB" + lines[i] + "\u00BB non \u00E8 un numero (" + names[i] + ")"});
        } else if (*value < 0 || *value > 255) {
            report.diagnostics.push_back({line, false,
                                          std::to_string(*value) + " vale come " +
                                              (*value < 0 ? "0" : "255") + " (" + names[i] +
                                              ", da 0 a 255)"});
        }
    }
    return report;
}

std::string formatReport(const std::string& path, const CheckReport& report) {
    std::string out;
    for (const auto& d : report.diagnostics) {
        out += path + ":" + std::to_string(d.line) + (d.error ? ": errore: " : ": avviso: ") +
               d.text + "\n";
    }
    const int e = report.errors();
    const int w = report.warnings();
    out += path + ": " + std::to_string(e) + (e == 1 ? " errore, " : " errori, ") +
           std::to_string(w) + (w == 1 ? " avviso" : " avvisi") + "\n";
    return out;
}

}  // namespace quilo
