#include "remote/io/QrCode.h"

#include <qrencode.h>

namespace quilo {

std::vector<std::vector<bool>> qrModules(const std::string& text) {
    QRcode* code = QRcode_encodeString8bit(text.c_str(), 0, QR_ECLEVEL_M);
    if (!code) return {};
    const int width = code->width;
    std::vector<std::vector<bool>> rows(static_cast<std::size_t>(width),
                                        std::vector<bool>(static_cast<std::size_t>(width)));
    for (int y = 0; y < width; ++y)
        for (int x = 0; x < width; ++x)
            rows[std::size_t(y)][std::size_t(x)] = (code->data[y * width + x] & 1) != 0;
    QRcode_free(code);
    return rows;
}

}  // namespace quilo
