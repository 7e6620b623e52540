#include "display/Colours.h"

#include <array>
#include <cmath>
#include <cstdlib>

#include "shared/RegularFile.h"
#include "shared/TextFile.h"

namespace quilo {
namespace {

// Six numbers, one a line: anything near this size is not a colour file.
constexpr std::size_t kColourFileLimit = 64 * 1024;

constexpr std::array<Rgb, 16> kPalette = {{
    {0, 0, 0},
    {0, 0, 128},
    {0, 128, 0},
    {0, 128, 128},
    {128, 0, 0},
    {128, 0, 128},
    {128, 128, 0},
    {192, 192, 192},
    {128, 128, 128},
    {0, 0, 255},
    {0, 255, 0},
    {0, 255, 255},
    {255, 0, 0},
    {255, 0, 255},
    {255, 255, 0},
    {255, 255, 255},
}};

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

}  // namespace

std::optional<Rgb> colourNumber(int n) {
    if (n < 0 || n > 15) return std::nullopt;
    return kPalette[static_cast<std::size_t>(n)];
}

void takeColoursFromTable(Modulo1& s) {
    s.backRed = s.colourTable[1];
    s.backGreen = s.colourTable[2];
    s.backBlue = s.colourTable[3];
    s.textRed = s.colourTable[4];
    s.textGreen = s.colourTable[5];
    s.textBlue = s.colourTable[6];
}

Rgb backColour(const Modulo1& s) {
    return composeColour(s.backRed, s.backGreen, s.backBlue);
}
Rgb textColour(const Modulo1& s) {
    return composeColour(s.textRed, s.textGreen, s.textBlue);
}

std::optional<std::int16_t> colourFileNumber(std::string_view line) {
    while (!line.empty() && isBlank(line.front())) line.remove_prefix(1);
    while (!line.empty() && isBlank(line.back())) line.remove_suffix(1);
    std::size_t i = 0;
    if (i < line.size() && (line[i] == '+' || line[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i, ++digits;
    if (i < line.size() && line[i] == '.') {
        ++i;
        while (i < line.size() && line[i] >= '0' && line[i] <= '9') ++i, ++digits;
    }
    if (digits == 0 || i != line.size()) return std::nullopt;
    const double value = std::nearbyint(std::strtod(std::string(line).c_str(), nullptr));
    if (value < INT16_MIN || value > INT16_MAX) return std::nullopt;
    return static_cast<std::int16_t>(value);
}

std::string ColourTable::colourFilePath() const {
    return paths_.resolve(kColourFile).string();
}

FileProblem readColourFileLines(const std::string& path, std::vector<std::string>& lines) {
    std::string bytes;
    const FileProblem problem = readRegularFile(path, kColourFileLimit, bytes);
    if (problem == FileProblem::None) lines = splitTextLines(decodeTextBytes(bytes));
    return problem;
}

std::optional<ColourFileError> ColourTable::LeggiFileColori() {
    const std::string path = colourFilePath();
    auto failure = [&path](const std::string& why) {
        return ColourFileError{"Impossibile leggere il file dei colori: " + path + " (" + why +
                               ")"};
    };
    std::vector<std::string> lines;
    const FileProblem problem = readColourFileLines(path, lines);
    if (problem != FileProblem::None) return failure(describeProblem(problem));
    if (lines.size() < 6) {
        return failure("ha " + std::to_string(lines.size()) +
                       (lines.size() == 1 ? " riga" : " righe") +
                       ": servono sei numeri, uno per riga");
    }
    std::array<std::int16_t, 7> table = state_.colourTable;
    for (int i = 1; i <= 6; ++i) {
        const std::string& line = lines[static_cast<std::size_t>(i - 1)];
        const auto value = colourFileNumber(line);
        if (!value) {
            return failure("riga " + std::to_string(i) + ": \u00AB" + line +
                           "\u00BB non \u00E8 un numero da 0 a 255");
        }
        table[static_cast<std::size_t>(i)] = *value;
    }
    state_.colourTable = table;
    return std::nullopt;
}

std::optional<ColourFileError> ColourTable::CaricaColori() {
    if (auto error = LeggiFileColori()) return error;
    takeColoursFromTable(state_);
    return std::nullopt;
}

}  // namespace quilo
