#pragma once
// A QR code of a text, through libqrencode: the modules as rows of booleans,
// true for dark; empty when the text cannot be encoded.

#include <string>
#include <vector>

namespace quilo {

std::vector<std::vector<bool>> qrModules(const std::string& text);

}  // namespace quilo
