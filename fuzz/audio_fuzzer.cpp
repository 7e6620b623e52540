// Opens arbitrary bytes as a sound file, as a script's sound or a folder's
// track would be, and reads the start, a later block and the end.
#include <vector>

#include "FuzzFile.h"
#include "media/io/AudioFile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quilo;
    const std::string path = fuzzing::writeFuzzFile("s.wav", data, size);
    std::string error;
    auto sound = AudioFile::open(path, error);
    if (!sound) return 0;
    std::vector<std::uint8_t> block(4096 * 4);
    sound->read(0, 4096, block.data());
    sound->read(sound->frames() / 2, 4096, block.data());
    sound->read(sound->frames() > 4096 ? sound->frames() - 4096 : 0, 4096, block.data());
    return 0;
}
