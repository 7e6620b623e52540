#pragma once
// Character-counted views of UTF-8 text. Script columns, line lengths and the
// "last character" of a line count characters, not bytes, so that an accented
// caption written in either encoding keeps its columns.

#include <cstddef>
#include <string>
#include <string_view>

namespace quilo::utf8 {

// Number of characters (code points) in valid UTF-8 text.
std::size_t length(std::string_view text);

// Characters from 1-based column `from`, at most `count` of them; like the
// classic Mid$: an empty result when `from` lies past the end.
std::string mid(std::string_view text, std::size_t from, std::size_t count = std::string::npos);

// The first `count` characters (all of them when the text is shorter).
std::string left(std::string_view text, std::size_t count);

// The last `count` characters (all of them when the text is shorter).
std::string right(std::string_view text, std::size_t count);

// The text with A to Z made lower case, for names and extensions compared
// without regard to case; other characters are left as they are.
std::string asciiLower(std::string_view text);

// True when the bytes are well-formed UTF-8 (no overlongs, no surrogates).
bool isValid(std::string_view bytes);

}  // namespace quilo::utf8
