// Reads arbitrary bytes as the colour file, as the program does at start-up.
#include "FuzzFile.h"
#include "display/Colours.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quilo;
    static const auto root = fuzzing::fuzzFolder();
    static const bool made = std::filesystem::create_directories(root / "Quilo 1.0");
    (void)made;
    fuzzing::writeFuzzFile("Quilo 1.0/colori.txt", data, size);
    Modulo1 state;
    const PathResolver paths(root);
    ColourTable colours(state, paths);
    (void)colours.CaricaColori();
    return 0;
}
