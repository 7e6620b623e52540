// Hands arbitrary bytes to the picture readers as the display does: the
// prober's size, then a decode bounded as the picture cache bounds it.
#include "FuzzFile.h"
#include "display/view/PictureCache.h"
#include "display/view/QtPictureProber.h"
#include "display/view/QuietQtMessages.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quilo;
    static const bool quiet = (quietQtMessages(), true);
    (void)quiet;
    const std::string path = fuzzing::writeFuzzFile("p.img", data, size);
    QtPictureProber prober;
    if (prober.pixelSize(path))
        (void)PictureCache::decode(QString::fromStdString(path), QSize(512, 512));
    return 0;
}
