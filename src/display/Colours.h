#pragma once
// The presentation's two colours of its own (background, caption text), read
// from the colour file at start-up into the colour table, and the sixteen fixed
// colours that script lines name by number.

#include <optional>
#include <string>
#include <vector>

#include "display/DisplayForm.h"
#include "shared/Modulo1.h"
#include "shared/PathResolver.h"
#include "shared/RegularFile.h"

namespace quilo {

inline constexpr const char* kColourFile = "C:\\Quilo 1.0\\colori.txt";

// Colour n of the fixed sixteen (0 to 15); nothing for any other number.
std::optional<Rgb> colourNumber(int n);

Rgb backColour(const Modulo1& state);
// The colour table becomes the current colours.
void takeColoursFromTable(Modulo1& state);
Rgb textColour(const Modulo1& state);

// The colour file's lines as the player reads them; the problem when it
// cannot be read at all.
FileProblem readColourFileLines(const std::string& path, std::vector<std::string>& lines);

struct ColourFileError {
    std::string message;  // "Impossibile leggere il file dei colori: <path>"
};

class ColourTable {
  public:
    ColourTable(Modulo1& state, const PathResolver& paths) : state_(state), paths_(paths) {}

    // Fills colourTable(1..6) from the colour file; on failure the table is unchanged.
    [[nodiscard]] std::optional<ColourFileError> LeggiFileColori();
    // LeggiFileColori, then the table becomes the current colours.
    [[nodiscard]] std::optional<ColourFileError> CaricaColori();

    std::string colourFilePath() const;

  private:
    Modulo1& state_;
    const PathResolver& paths_;
};

// A colour file line as a 16-bit integer: blanks around it allowed, a fraction
// rounded half to even; nothing for an empty line, text, or a value beyond 16 bits.
std::optional<std::int16_t> colourFileNumber(std::string_view line);

}  // namespace quilo
