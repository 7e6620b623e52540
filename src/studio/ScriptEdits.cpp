#include "studio/ScriptEdits.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "script/ScriptCommand.h"
#include "shared/LineFormat.h"
#include "shared/Utf8.h"

namespace quilo {

bool isCueLine(const std::string& line) {
    const std::int16_t track = decodeLine(line).track;
    return track >= 1 && track <= 98;
}

int blockEnd(const std::vector<std::string>& lines, int first) {
    const std::string_view closing = traitsFor(decodeLine(lines.at(first)).commandLetter).closedBy;
    if (closing.empty()) return first;
    for (int k = first + 1; k < static_cast<int>(lines.size()); ++k)
        if (decodeLine(lines[k]).commandLetter == closing) return k;
    return first;
}

std::vector<int> cueLines(const std::vector<std::string>& lines) {
    std::vector<int> cues;
    for (int i = 0; i < static_cast<int>(lines.size()); ++i) {
        if (lines[i].compare(0, 2, "**") == 0) break;
        if (!isCueLine(lines[i])) continue;
        cues.push_back(i);
        i = blockEnd(lines, i);
    }
    return cues;
}

std::optional<int> nextCueLine(const std::vector<std::string>& lines, int line) {
    for (int cue : cueLines(lines))
        if (cue > line) return cue;
    return std::nullopt;
}

std::string timeStamp(int track, int minutes, int seconds) {
    char text[16];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d", std::clamp(track, 0, 99),
                  std::clamp(minutes, 0, 99), std::clamp(seconds, 0, 59));
    return text;
}

std::string retimed(const std::string& line, const std::string& stamp) {
    return stamp + utf8::mid(line, 9);
}

std::string shifted(const std::string& line, int seconds) {
    const DecodedLine d = decodeLine(line);
    const int at = std::clamp(d.minutes * 60 + d.seconds + seconds, 0, 99 * 60 + 59);
    return retimed(line, timeStamp(d.track, at / 60, at % 60));
}

std::string tappedStamp(const CdPosition& heard) {
    return timeStamp(heard.track, heard.minutes, heard.seconds);
}

std::optional<CdPosition> parseTime(const std::string& text, int track) {
    int fields[4] = {0, 0, 0, 0};
    int count = 0;
    std::size_t i = 0;
    while (i < text.size() && count < 4) {
        std::size_t digits = 0;
        int value = 0;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9' && digits < 3)
            value = value * 10 + (text[i++] - '0'), ++digits;
        if (digits == 0) return std::nullopt;
        fields[count++] = value;
        if (i < text.size() && text[i] != ':' && text[i] != '.') return std::nullopt;
        if (i < text.size()) ++i;
    }
    if (i < text.size() || count < 2) return std::nullopt;
    const CdPosition at = count == 2 ? CdPosition{track, fields[0], fields[1], 0}
                                     : CdPosition{fields[0], fields[1], fields[2], fields[3]};
    if (at.track < 1 || at.track > 99 || at.minutes > 99 || at.seconds > 59 || at.frames > 74)
        return std::nullopt;
    return at;
}

CdPosition secondsLater(const CdPosition& at, int seconds) {
    const int total = std::clamp(at.minutes * 60 + at.seconds + seconds, 0, 99 * 60 + 59);
    return {at.track, total / 60, total % 60, total == 0 && seconds < 0 ? 0 : at.frames};
}

LineParts lineParts(const std::string& line, bool inBlock) {
    LineParts parts;
    const DecodedLine d = decodeLine(line);
    if (line.compare(0, 2, "**") == 0) {
        parts.kind = LineParts::Kind::Terminator;
        parts.body = line;
        return parts;
    }
    if (inBlock) {
        parts.kind = LineParts::Kind::BlockLine;
        parts.body = line;
        return parts;
    }
    if (d.track == 99) {
        parts.kind = LineParts::Kind::Header;
        parts.time = d.timeText;
        parts.body = line;
        return parts;
    }
    if (d.track < 1 || d.track > 98) {
        parts.body = line;
        return parts;
    }
    parts.kind = LineParts::Kind::Cue;
    parts.time = d.timeText;
    const CommandTraits& traits = traitsFor(d.commandLetter);
    parts.letter = std::string(traits.letter);
    parts.body = commandBody(line);
    if (traits.body == LineBody::TextAndNumber) parts.colour = colouredTextBody(line).number;
    return parts;
}

NumberKind numberKind(const std::string& letter) {
    if (traitsFor(letter).body != LineBody::TextAndNumber) return NumberKind::None;
    return traitsFor(letter).command == ScriptCommand::Pause ? NumberKind::Seconds
                                                             : NumberKind::Colour;
}

const std::vector<LetterChoice>& letterChoices() {
    static const std::vector<LetterChoice> choices = {
        {"", "testo semplice (pulisce lo schermo)"},
        {"C", "didascalia colorata"},
        {"B", "didascalia su sfondo colorato"},
        {"L", "aggiunge una riga piccola"},
        {"F", "immagine che entra da sinistra"},
        {"A", "immagine che si apre dall'alto"},
        {"R", "immagine nei due terzi a destra"},
        {"Z", "immagine che cresce dal centro"},
        {"M", "immagine intera"},
        {"D", "testo accanto all'immagine (blocco fino a -)"},
        {"K", "colonna di testo (blocco fino a -)"},
        {"+", "didascalia su più righe (blocco fino a -)"},
        {"-", "chiude un blocco"},
        {"W", "suono"},
        {"S", "pausa di N secondi (blocco fino a P)"},
        {"P", "pausa di N secondi"},
        {"V", "immagine di sfondo"},
        {"N", "sfondo normale"},
        {"T", "colori e sfondo dell'intestazione"},
        {"E", "fine della presentazione"},
    };
    return choices;
}

std::string withField(const std::string& line, LineField field, const std::string& value) {
    const DecodedLine d = decodeLine(line);
    const CommandTraits& traits = traitsFor(d.commandLetter);
    const std::string stamp = utf8::left(line, 8);
    const std::string body = commandBody(line);
    const std::size_t length = utf8::length(line);
    std::string digits = traits.body == LineBody::TextAndNumber && length >= 11
                             ? utf8::mid(line, length - 2, 2)
                             : std::string();
    std::string letter(traits.letter);
    switch (field) {
        case LineField::Time:
            return retimed(line, value);
        case LineField::Body:
            if (traits.body == LineBody::None) return line;
            return stamp + value + digits + letter;
        case LineField::Number: {
            if (traits.body != LineBody::TextAndNumber) return line;
            char text[8];
            std::snprintf(text, sizeof text, "%02d", std::clamp(std::atoi(value.c_str()), 0, 99));
            return stamp + body + text + letter;
        }
        case LineField::Letter:
            break;
    }
    const CommandTraits& next = traitsFor(value);
    if (next.body == LineBody::None) return stamp + value;
    if (next.body == LineBody::TextAndNumber && digits.empty())
        digits = numberKind(value) == NumberKind::Seconds ? "05" : "15";
    if (next.body != LineBody::TextAndNumber) digits.clear();
    return stamp + body + digits + value;
}

std::string colourLabel(int number) {
    static const char* const names[] = {"nero",        "blu scuro", "verde scuro", "ciano scuro",
                                        "rosso scuro", "viola",     "oliva",       "grigio chiaro",
                                        "grigio",      "blu",       "verde",       "ciano",
                                        "rosso",       "magenta",   "giallo",      "bianco"};
    char digits[8];
    std::snprintf(digits, sizeof digits, "%02d ", std::clamp(number, 0, 99));
    if (number >= 0 && number <= 15) return digits + std::string(names[number]);
    return digits + std::string(number == 99 ? "della presentazione" : "(nessun colore)");
}

}  // namespace quilo
