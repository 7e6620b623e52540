#include "script/check/HeaderChecks.h"

#include <optional>

#include "script/check/NamedFiles.h"
#include "shared/NumericField.h"
#include "shared/Utf8.h"

namespace quilo {
namespace {

constexpr int kHeaderLines = 7;

// The last run of digits in the text, as a number; none without digits.
std::optional<long> lastNumber(const std::string& text) {
    const auto end = text.find_last_of("0123456789");
    if (end == std::string::npos) return std::nullopt;
    auto start = text.find_last_not_of("0123456789", end);
    start = start == std::string::npos ? 0 : start + 1;
    const std::string digits = text.substr(start, std::min<std::size_t>(end + 1 - start, 9));
    return std::stol(digits);
}

void checkHeaderNumber(CheckContext& c, int i, int which) {
    static const char* const names[] = {"rosso dello sfondo", "verde dello sfondo",
                                        "blu dello sfondo",   "rosso del testo",
                                        "verde del testo",    "blu del testo"};
    const std::string& line = c.text(i);
    const std::string tail = utf8::right(line, 3);
    const std::int16_t read = numericField16(tail);
    const auto meant = lastNumber(utf8::mid(line, 3));
    const std::string name = names[which - 1];
    if (!meant) {
        c.warning(i, "nessun numero per il " + name + ": vale 0");
    } else if (*meant != read) {
        c.warning(i, "il " + name + " si legge solo dagli ultimi tre caratteri della riga (" +
                         quoted(tail) + "): vale " + std::to_string(read) + ", non " +
                         std::to_string(*meant) +
                         "; scrivere il numero in fondo alla riga, senza spazi dopo");
    } else if (read > 255) {
        c.warning(
            i, "il " + name + " vale al massimo 255: " + std::to_string(read) + " conta come 255");
    }
}

void checkHeaderBackground(CheckContext& c, int i) {
    const std::string name = nameBody(c.text(i));
    if (!name.empty() && name != kBlank && checkFile(c, i, name, "immagine di sfondo"))
        checkBackgroundShape(c, i, name);
}

}  // namespace

void checkHeader(CheckContext& c) {
    int headers = 0;
    for (int i = 0; i < c.state.lineCount; ++i) {
        if (c.decoded(i).track != 99) continue;
        ++headers;
        if (headers < kHeaderLines) checkHeaderNumber(c, i, headers);
        if (headers == kHeaderLines) checkHeaderBackground(c, i);
        if (headers == kHeaderLines + 1)
            c.warning(i, "più di sette righe d'intestazione: da qui in poi non contano");
    }
    if (headers == 0) {
        c.warning(0,
                  "il copione non ha intestazione (le sette righe «99»): sfondo e testo sono "
                  "neri, e un testo semplice o una didascalia con il colore 99 non si vede");
    } else if (headers < kHeaderLines) {
        c.warning(0, "l'intestazione ha " + std::to_string(headers) +
                         (headers == 1 ? " riga" : " righe") +
                         " su sette: i colori mancanti valgono 0 e non c'è immagine di sfondo");
    }
}

}  // namespace quilo
