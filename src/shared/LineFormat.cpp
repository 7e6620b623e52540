#include "shared/LineFormat.h"

#include "shared/NumericField.h"
#include "shared/Utf8.h"

namespace quilo {

std::int16_t trackField(std::string_view line) {
    return numericField16(utf8::left(line, 2));
}

std::int16_t secondsField(std::string_view line) {
    return numericField16(utf8::right(utf8::left(line, 8), 2));
}

DecodedLine decodeLine(std::string_view line) {
    DecodedLine d;
    d.track = trackField(line);
    d.timeText = utf8::left(line, 8);
    d.minutes = numericField16(utf8::mid(d.timeText, 4, 2));
    d.seconds = numericField16(utf8::right(d.timeText, 2));
    d.packedTime = packedCueTime(d.track, d.minutes, d.seconds);
    d.length = static_cast<std::int32_t>(utf8::length(line));
    d.commandLetter = utf8::right(line, 1);
    return d;
}

ColouredText colouredTextBody(std::string_view line) {
    const auto length = utf8::length(line);
    if (length < 11) return {};
    return {utf8::mid(line, 9, length - 11), numericField16(utf8::mid(line, length - 2, 2))};
}

std::string nameBody(std::string_view line) {
    const auto length = utf8::length(line);
    if (length <= 9) return {};
    return utf8::mid(line, 9, length - 9);
}

std::string plainTextBody(std::string_view line) {
    return utf8::length(line) < 9 ? std::string() : utf8::mid(line, 9);
}

std::string withoutLastCharacter(std::string_view line) {
    const auto length = utf8::length(line);
    return length == 0 ? std::string() : utf8::left(line, length - 1);
}

}  // namespace quilo
