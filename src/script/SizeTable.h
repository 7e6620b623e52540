#pragma once
// The guide's table of the largest pictures each letter shows whole, made from
// the fitting rules the picture commands use, so that the two cannot drift
// apart. It assumes the whole display as the caption area: no background
// picture, or a 4:3 one drawn whole.

#include <string>

namespace quilo {

// A Markdown table: one row per letter (a "Z" with time to grow apart), one
// column per common proportion of photos. A growing "Z" rests at its fitted
// size whatever its step, so its growth time does not change its row.
std::string largestPictureTable();

}  // namespace quilo
