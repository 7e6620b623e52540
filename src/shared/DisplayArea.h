#pragma once
// The display area every position and size is given in, in twips: the
// state's defaults and the display's form both measure against it.

#include <cstdint>

namespace quilo {

inline constexpr std::int16_t kDisplayWidth = 11701;
inline constexpr std::int16_t kDisplayHeight = 8776;

}  // namespace quilo
