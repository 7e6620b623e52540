#include "script/ScriptChecker.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <filesystem>
#include <map>

#include "display/Colours.h"
#include "script/PicturePlacement.h"
#include "script/ScriptCommand.h"
#include "script/ScriptLoader.h"
#include "shared/LineFormat.h"
#include "shared/NumericField.h"
#include "shared/RegularFile.h"
#include "shared/ScriptFiles.h"
#include "shared/Utf8.h"

namespace quilo {
namespace {

constexpr int kTransitionSeconds = 7;
constexpr int kLastTrack = 98;  // 99 marks the header

std::string percent(double share) {
    return std::to_string(static_cast<int>(std::floor(share * 100))) + " %";
}

std::string quoted(const std::string& s) {
    return "\u00AB" + s + "\u00BB";
}

class Checker {
  public:
    Checker(const Modulo1& state, const ScriptFiles& files, FileChecks checks)
        : s_(state), files_(files), checks_(checks) {}

    std::vector<Diagnostic> run() {
        checkLineEnds();
        checkFirstLine();
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

    // The first line says which track the disc starts from.
    void checkFirstLine() {
        const std::int16_t track = s_.scriptLines.decoded(0).track;
        if (track >= 1 && track <= kLastTrack) return;
        warning(0,
                "la prima riga non è una riga a tempo: è lei a dire da quale brano parte il "
                "CD, e così il CD parte dal brano 1; cominciare il copione con la prima riga a "
                "tempo");
    }

    void checkHeader() {
        int headers = 0;
        for (int i = 0; i < s_.lineCount; ++i) {
            if (s_.scriptLines.decoded(i).track != 99) continue;
            ++headers;
            if (headers <= 6) checkHeaderNumber(i, headers);
            if (headers == 7) checkHeaderBackground(i);
            if (headers == 8)
                warning(i, "più di sette righe d'intestazione: da qui in poi non contano");
        }
        if (headers == 0) {
            warning(0,
                    "il copione non ha intestazione (le sette righe «99»): sfondo e testo sono "
                    "neri, e un testo semplice o una didascalia con il colore 99 non si vede");
        } else if (headers < 7) {
            warning(0, "l'intestazione ha " + std::to_string(headers) +
                           (headers == 1 ? " riga" : " righe") +
                           " su sette: i colori mancanti valgono 0 e non c'è immagine di sfondo");
        }
    }

    // A header colour is read from the line's last three characters alone.
    void checkHeaderNumber(int i, int which) {
        static const char* const names[] = {"rosso dello sfondo", "verde dello sfondo",
                                            "blu dello sfondo",   "rosso del testo",
                                            "verde del testo",    "blu del testo"};
        const std::string& line = text(i);
        const std::string tail = utf8::right(line, 3);
        const std::int16_t read = numericField16(tail);
        const auto meant = lastNumber(utf8::mid(line, 3));
        const std::string name = names[which - 1];
        if (!meant) {
            warning(i, "nessun numero per il " + name + ": vale 0");
        } else if (*meant != read) {
            warning(i, "il " + name + " si legge solo dagli ultimi tre caratteri della riga (" +
                           quoted(tail) + "): vale " + std::to_string(read) + ", non " +
                           std::to_string(*meant) +
                           "; scrivere il numero in fondo alla riga, senza spazi dopo");
        } else if (read > 255) {
            warning(i, "il " + name + " vale al massimo 255: " + std::to_string(read) +
                           " conta come 255");
        }
    }

    // The last run of digits in the text, as a number; none without digits.
    static std::optional<long> lastNumber(const std::string& text) {
        const auto end = text.find_last_of("0123456789");
        if (end == std::string::npos) return std::nullopt;
        auto start = text.find_last_not_of("0123456789", end);
        start = start == std::string::npos ? 0 : start + 1;
        const std::string digits = text.substr(start, std::min<std::size_t>(end + 1 - start, 9));
        return std::stol(digits);
    }

    void checkHeaderBackground(int i) {
        const std::string name = nameBody(text(i));
        if (!name.empty() && name != kBlank && checkFile(i, name, "immagine di sfondo"))
            checkBackgroundShape(i, name);
    }

    // A background is fitted to the display by a whole scale, and the area it
    // covers is where pictures and captions go: past the edge, they run past
    // it too; other proportions than 4:3 leave part of the display unused.
    void checkBackgroundShape(int i, const std::string& name) {
        if (!checks_.pictures) return;
        const auto size = checks_.pictures->pixelSize(files_.resolve(name));
        if (!size || size->width <= 0 || size->height <= 0) return;
        const double scale = backgroundScale(size->width, size->height);
        const double width = size->width * scale;
        const double height = size->height * scale;
        const ShownShare shown = shownShare(0, 0, width, height);
        const bool shrinks = width < kDisplayWidth * 0.99 || height < kDisplayHeight * 0.99;
        if (!visiblyCut(shown) && !shrinks) return;
        std::string text = "l'immagine di sfondo " + quoted(name) + " (" +
                           std::to_string(size->width) + " x " + std::to_string(size->height) +
                           " pixel) ";
        if (visiblyCut(shown)) {
            text += "\u00E8 disegnata a " + std::to_string(std::lround(scale)) +
                    " punti per pixel ed esce dallo schermo (se ne vede il " +
                    percent(shown.across) + " in larghezza e il " + percent(shown.down) +
                    " in altezza)" + (shrinks ? " e " : "");
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
        warning(i, text);
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
        if (traits.command == ScriptCommand::PlainCaption) {
            checkLowerCase(i, d.commandLetter);
            checkBlankAfterLetter(i);
        }
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

    // Blanks after the letter make the line a plain caption, which clears the
    // display and shows the whole line, the letter included, as text.
    void checkBlankAfterLetter(int i) {
        const std::string& line = text(i);
        const auto last = line.find_last_not_of(" \t");
        if (last == std::string::npos || last + 1 == line.size() || last < 8) return;
        const std::string letter = line.substr(last, 1);
        if (commandFor(letter) == ScriptCommand::PlainCaption) return;
        warning(i, "dopo la lettera " + quoted(letter) +
                       " ci sono spazi: la riga diventa un testo semplice, che sgombra lo "
                       "schermo e mostra come scritta " +
                       quoted(plainTextBody(line)) + "; togliere gli spazi in fondo");
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
        if (!checkDigits(i, command, letter)) return;
        if (command == ScriptCommand::Pause) return;
        const auto number = colouredTextBody(text(i)).number;
        const bool ownColour = command == ScriptCommand::TextColourCaption ||
                               command == ScriptCommand::BackColourCaption;
        if (number && *number == 99 && !ownColour) {
            warning(i, "il colore 99 (quello della presentazione) vale solo con " + quoted("C") +
                           " e " + quoted("B") + ": con " + quoted(letter) +
                           " il testo resta del colore che aveva");
        } else if (number && (*number < 0 || *number > 15) && !(ownColour && *number == 99)) {
            error(i, "il colore " + std::to_string(*number) + " non esiste (0-15" +
                         (ownColour ? " o 99" : "") + "): il comando " + quoted(letter) +
                         " lascia il colore com'era");
        }
    }

    // The two characters before the letter are a number whatever they hold;
    // without digits there the end of the text is taken for it.
    bool checkDigits(int i, ScriptCommand command, const std::string& letter) {
        const std::string& line = text(i);
        const std::string pair = utf8::mid(line, utf8::length(line) - 2, 2);
        const bool digits = pair.size() == 2 &&
                            (std::isdigit(static_cast<unsigned char>(pair[0])) || pair[0] == ' ') &&
                            std::isdigit(static_cast<unsigned char>(pair[1]));
        if (digits) return true;
        const ColouredText body = colouredTextBody(line);
        warning(i, "prima della lettera " + quoted(letter) + " mancano le due cifre " +
                       (command == ScriptCommand::Pause ? "dei secondi di pausa" : "del colore") +
                       ": il lettore prende " + quoted(pair) + " per il numero (vale " +
                       std::to_string(body.number.value_or(0)) + ") e mostra " + quoted(body.text));
        return false;
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
        if (found && command == ScriptCommand::Background) checkBackgroundShape(i, name);
        if (command == ScriptCommand::Picture) {
            const int next = i + 1 < LineTable::kSize ? i + 1 : i;
            checkLineAfterPicture(i, next);
            const std::int32_t seconds = secondsBetween(s_.scriptLines.decoded(i).seconds,
                                                        s_.scriptLines.decoded(next).seconds);
            if (seconds < kTransitionSeconds) {
                warning(i, "solo " + std::to_string(seconds) +
                               " secondi alla riga seguente: l'immagine compare senza transizione "
                               "(ne servono 7)");
            }
        }
    }

    // The seconds to the next line, which time a picture's transition, come
    // from whatever line follows it in the file.
    void checkLineAfterPicture(int i, int next) {
        const DecodedLine& d = s_.scriptLines.decoded(next);
        if (next == i || (d.track >= 1 && d.track <= kLastTrack) || next == s_.lineCount - 1)
            return;
        warning(i,
                "la riga seguente (" + std::to_string(next + 1) +
                    ") non è a tempo, ma è lei a dare il tempo della transizione: i suoi "
                    "caratteri 7-8 contano come secondi (" +
                    std::to_string(secondsBetween(s_.scriptLines.decoded(i).seconds, d.seconds)) +
                    " secondi alla riga seguente); spostarla dopo la prossima riga a tempo");
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

std::vector<Diagnostic> checkLoadedScript(const Modulo1& state, const PathResolver& paths,
                                          FileChecks checks) {
    const ScriptFiles files(state, paths);
    return Checker(state, files, checks).run();
}

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

CheckReport checkScript(const std::string& path, const PathResolver& paths, FileChecks checks,
                        const std::optional<std::string>& text) {
    Modulo1 state;
    state.scriptPath = path;
    ScriptLoader loader(state, paths);
    loader.useText(text);
    CheckReport report;
    // "Lettore" takes only names ending in "txt" exactly, and refuses others
    // without a word, though the chooser lists them.
    if (path.size() < 3 || path.compare(path.size() - 3, 3, "txt") != 0) {
        report.diagnostics.push_back(
            {1, true,
             "il nome del copione non finisce con «txt» in minuscolo: il lettore non lo apre "
             "(\"Lettore\" non fa nulla); rinominarlo, per esempio in " +
                 quoted(std::filesystem::path(path).stem().string() + ".txt")});
    }
    if (auto refused = loader.MemorizzaLetturaRiga()) {
        if (refused->reason == ScriptError::Reason::Unreadable) report.readable = false;
        const int line = refused->line > 0 ? refused->line
                         : refused->reason == ScriptError::Reason::TooManyLines
                             ? LineTable::kSize + 1
                             : 1;
        report.diagnostics.push_back({line, true, refused->message});
        sortByLine(report);
        return report;
    }
    for (auto& found : checkLoadedScript(state, paths, checks))
        report.diagnostics.push_back(std::move(found));
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
