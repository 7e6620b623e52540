#include "script/check/LineForm.h"

#include <algorithm>
#include <cctype>

#include "shared/Utf8.h"

namespace quilo {
namespace {

constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
constexpr int kLastSecond = 59;
constexpr int kLongestDiscMinutes = 80;

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

// "TT:MM:SS", two digits a field.
bool wellFormedTime(std::string_view line) {
    if (line.size() < 8 || line[2] != ':' || line[5] != ':') return false;
    for (std::size_t i : {0u, 1u, 3u, 4u, 6u, 7u})
        if (!isDigit(line[i])) return false;
    return true;
}

// Whether an untimed line reads like a cue whose time was forgotten: a text
// with its colour digits and letter, or a file's name and its letter.
bool looksLikeCue(const std::string& line) {
    if (line.size() < 4 || line[0] == ' ' || line.rfind("00", 0) == 0) return false;
    const CommandTraits& traits = traitsFor(utf8::right(line, 1));
    if (traits.command == ScriptCommand::PlainCaption) return false;
    if (traits.body == LineBody::TextAndNumber)
        return isDigit(line[line.size() - 2]) && isDigit(line[line.size() - 3]);
    if (namesFile(traits.command)) {
        const auto dot = line.rfind('.');
        return dot != std::string::npos && line.size() - dot >= 4 && line.size() - dot <= 6;
    }
    return false;
}

std::string cuePreview(const std::string& line) {
    return quoted(utf8::length(line) > 40 ? utf8::left(line, 40) + "..." : line);
}

void checkTimeFields(CheckContext& c, int i) {
    const std::string& line = c.text(i);
    const DecodedLine& d = c.decoded(i);
    const std::string read = timeText(d.track, d.minutes, d.seconds);
    if (!wellFormedTime(line)) {
        c.warning(i,
                  "il tempo non ha due cifre per campo (TT:MM:SS): il lettore prende i primi "
                  "otto caratteri, " +
                      quoted(d.timeText) + ", per " + read + ", e quel che segue, " +
                      quoted(commandBody(line)) + ", per il testo; scrivere " + quoted(read) +
                      " e poi il testo");
    } else if (d.seconds > kLastSecond) {
        c.warning(i, "i secondi " + quoted(line.substr(6, 2)) +
                         " vanno da 00 a 59: il CD non arriva mai a quel secondo e la riga "
                         "non verrà mai eseguita");
    } else if (d.minutes >= kLongestDiscMinutes) {
        c.warning(i, "i minuti " + quoted(line.substr(3, 2)) +
                         " vanno oltre la durata di un CD (80 minuti): la riga non verrà mai "
                         "eseguita");
    } else if (d.minutes > kLastSecond) {
        c.warning(i, "i minuti " + quoted(line.substr(3, 2)) +
                         " vanno oltre 59: la riga scatta solo se il brano dura più di " +
                         std::to_string(d.minutes) + " minuti");
    }
    // Frames written after the time are read as the start of the text.
    if (wellFormedTime(line) && line.size() >= 11 && line[8] == ':' && isDigit(line[9]) &&
        isDigit(line[10])) {
        c.warning(i, "dopo il tempo c'è " + quoted(line.substr(8, 3)) +
                         ": i fotogrammi non si scrivono, e il lettore lo mostra come inizio del "
                         "testo; togliere " +
                         quoted(line.substr(8, 3)));
    }
    if (line.find(kByteOrderMark) != std::string::npos) {
        c.warning(i,
                  "nella riga c'è un carattere invisibile (U+FEFF, il segno d'inizio di un "
                  "file incollato qui): resta nel testo mostrato; cancellarlo");
    }
}

// The characters before the letter are a number whatever they hold; without
// digits there the end of the text is taken for it.
bool checkDigits(CheckContext& c, int i, ScriptCommand command, const std::string& letter) {
    const std::string& line = c.text(i);
    const std::string pair = utf8::mid(line, utf8::length(line) - 2, 2);
    const bool digits =
        pair.size() == 2 && (isDigit(pair[0]) || pair[0] == ' ') && isDigit(pair[1]);
    const bool negative = pair.size() == 2 && pair[0] == '-' && isDigit(pair[1]);
    if (digits || negative) return true;
    const ColouredText body = colouredTextBody(line);
    c.warning(i, "prima della lettera " + quoted(letter) + " mancano le due cifre " +
                     (command == ScriptCommand::Pause ? "dei secondi di pausa" : "del colore") +
                     ": il lettore prende " + quoted(pair) + " per il numero (vale " +
                     std::to_string(body.number.value_or(0)) + ") e mostra " + quoted(body.text));
    return false;
}

void checkColour(CheckContext& c, int i, ScriptCommand command, const std::string& letter) {
    if (!checkDigits(c, i, command, letter)) return;
    const auto number = colouredTextBody(c.text(i)).number;
    if (command == ScriptCommand::Pause) {
        if (number && *number < 0)
            c.warning(i, "una pausa di " + std::to_string(*number) +
                             " secondi: la pausa finisce al primo controllo dell'orologio");
        return;
    }
    const bool ownColour =
        command == ScriptCommand::TextColourCaption || command == ScriptCommand::BackColourCaption;
    if (number && *number == 99 && !ownColour) {
        c.warning(i, "il colore 99 (quello della presentazione) vale solo con " + quoted("C") +
                         " e " + quoted("B") + ": con " + quoted(letter) +
                         " il testo resta del colore che aveva");
    } else if (number && (*number < 0 || *number > 15) && !(ownColour && *number == 99)) {
        c.error(i, "il colore " + std::to_string(*number) + " non esiste (le due cifre prima " +
                       "della lettera vanno da 00 a 15" + (ownColour ? ", o 99" : "") +
                       "): il comando " + quoted(letter) + " lascia il colore com'era");
    }
}

// Blanks after the letter make the line a plain caption, which clears the
// display and shows the whole line, the letter included, as text.
void checkBlankAfterLetter(CheckContext& c, int i) {
    const std::string& line = c.text(i);
    const auto last = line.find_last_not_of(" \t");
    if (last == std::string::npos || last + 1 == line.size() || last < 8) return;
    const std::string letter = line.substr(last, 1);
    if (commandFor(letter) == ScriptCommand::PlainCaption) return;
    c.warning(i, "dopo la lettera " + quoted(letter) +
                     " ci sono spazi: la riga diventa un testo semplice, che sgombra lo "
                     "schermo e mostra come scritta " +
                     quoted(plainTextBody(line)) + "; togliere gli spazi in fondo");
}

void checkLowerCase(CheckContext& c, int i, const std::string& letter) {
    if (letter.size() != 1 || letter[0] < 'a' || letter[0] > 'z') return;
    const std::string upper(1, static_cast<char>(letter[0] - 'a' + 'A'));
    if (commandFor(upper) != ScriptCommand::PlainCaption) {
        c.warning(i, "l'ultima lettera " + quoted(letter) +
                         " è minuscola: la riga è un testo; per il comando scrivere " +
                         quoted(upper));
    }
}

}  // namespace

void checkLineEnds(CheckContext& c) {
    for (int i = 0; i < c.state.lineCount; ++i) {
        const auto lf = c.text(i).find('\n');
        if (lf == std::string::npos) continue;
        c.warning(i,
                  "la riga finisce con un a capo LF senza CR mentre il file usa CR LF: il "
                  "lettore la unisce alla riga seguente (" +
                      quoted(c.text(i).substr(0, std::min<std::size_t>(lf, 40))) +
                      "); salvare il file con un solo tipo di a capo");
    }
}

void checkFirstLine(CheckContext& c) {
    const std::int16_t track = c.decoded(0).track;
    if (track >= 1 && track <= kLastTrack) return;
    c.warning(0,
              "la prima riga non è una riga a tempo: è lei a dire da quale brano parte il "
              "CD, e così il CD parte dal brano 1; cominciare il copione con la prima riga a "
              "tempo");
}

void checkUntimedLine(CheckContext& c, int i) {
    const std::string& line = c.text(i);
    if (line.rfind(kByteOrderMark, 0) == 0) {
        const DecodedLine after = decodeLine(line.substr(kByteOrderMark.size()));
        if (after.track >= 1 && after.track <= kLastTrack) {
            c.warning(i,
                      "la riga comincia con un carattere invisibile (U+FEFF, il segno "
                      "d'inizio di un file incollato qui): il lettore non vi legge il tempo, "
                      "la prende per un commento e non la esegue mai; cancellarlo");
        }
        return;
    }
    if (i == 0 || !looksLikeCue(line)) return;  // the first line has its own finding
    c.warning(i,
              "la riga non ha un tempo all'inizio: il lettore la prende per un commento e "
              "non la esegue mai; per farla scattare scriverle davanti il tempo (TT:MM:SS)");
}

void checkCueForm(CheckContext& c, int i, const CommandTraits& traits) {
    const DecodedLine& d = c.decoded(i);
    checkTimeFields(c, i);
    if (traits.command == ScriptCommand::PlainCaption) {
        checkLowerCase(c, i, d.commandLetter);
        checkBlankAfterLetter(c, i);
    }
    if (d.length < traits.shortest) {
        c.error(i, traits.command == ScriptCommand::PlainCaption
                       ? "riga troppo corta per un testo: servono almeno " +
                             std::to_string(traits.shortest) + " caratteri"
                       : "riga troppo corta per il comando " + quoted(d.commandLetter) +
                             ": servono almeno " + std::to_string(traits.shortest) + " caratteri");
    } else if (traits.body == LineBody::TextAndNumber) {
        checkColour(c, i, traits.command, d.commandLetter);
    }
}

void CueOrder::check(CheckContext& c, int i) {
    const DecodedLine& d = c.decoded(i);
    // A second past 59 is never reached: it orders nothing.
    if (d.seconds > kLastSecond) return;
    const std::int64_t key = std::int64_t{d.track} * 1'000'000 + d.minutes * 60 + d.seconds;
    const auto same = firstAt_.find(d.packedTime);
    if (same != firstAt_.end()) {
        c.warning(i, "stesso tempo della riga " + std::to_string(same->second + 1) +
                         ": viene eseguita solo la prima");
    } else {
        firstAt_[d.packedTime] = i;
        if (key < lastKey_)
            c.warning(i,
                      std::string(kOutOfOrder) + ": viene prima di quello della riga precedente");
    }
    lastKey_ = std::max(lastKey_, key);
}

void checkAfterEnd(CheckContext& c, const std::vector<std::string>& linesAfterEnd) {
    for (std::size_t k = 0; k < linesAfterEnd.size(); ++k) {
        const std::string& line = linesAfterEnd[k];
        const DecodedLine d = decodeLine(line);
        if (!wellFormedTime(line) || d.track < 1 || d.track > kLastTrack) continue;
        const int end = c.state.lineCount - 1;
        c.warning(end, "dopo la riga " + quoted(c.text(end)) +
                           ", che chiude il copione, ci sono altre righe a tempo (la prima è la "
                           "riga " +
                           std::to_string(end + 2 + int(k)) + ", " + cuePreview(line) +
                           "): il lettore non le legge mai");
        return;
    }
}

}  // namespace quilo
