#include "script/SizeTable.h"

#include "script/PicturePlacement.h"

namespace quilo {
namespace {

struct Row {
    const char* label;
    const char* letter;
    int secondsToNext;  // decides a "Z"'s growth; no transition below 7
};

struct Shape {
    const char* label;
    int width;
    int height;
};

constexpr Row kRows[] = {
    {"`M`, `A`, e `Z` con meno di 7 secondi", "M", 3},
    {"`Z` con 7 secondi (la crescita, a passi di 10)", "Z", 7},
    {"`Z` con 8 o 9 secondi (a passi di 8)", "Z", 8},
    {"`Z` con 10 secondi o più (a passi di 5)", "Z", 10},
    {"`F`", "F", 3},
    {"`R`", "R", 3},
};

constexpr Shape kShapes[] = {
    {"4:3", 4, 3},
    {"3:2", 3, 2},
    {"16:9", 16, 9},
    {"3:4 (verticale)", 3, 4},
    {"2:3 (verticale)", 2, 3},
};

}  // namespace

std::string largestPictureTable() {
    std::string table = "| lettera |";
    std::string rule = "|---|";
    for (const Shape& shape : kShapes) {
        table += std::string(" ") + shape.label + " |";
        rule += "---|";
    }
    table += "\n" + rule + "\n";
    for (const Row& row : kRows) {
        table += std::string("| ") + row.label + " |";
        for (const Shape& shape : kShapes) {
            const PixelSize whole =
                largestWholeLike(row.letter, shape.width, shape.height, kDisplayWidth,
                                 kDisplayHeight, row.secondsToNext);
            table +=
                " " + std::to_string(whole.width) + " × " + std::to_string(whole.height) + " |";
        }
        table += "\n";
    }
    return table;
}

}  // namespace quilo
