#pragma once
// The header: seven "99" lines giving the show's colours and its background,
// each colour read from the line's last three characters alone.

#include "script/check/CheckContext.h"

namespace quilo {

void checkHeader(CheckContext& context);

}  // namespace quilo
