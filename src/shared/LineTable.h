#pragma once
// The line table: 2001 script lines (indices 0 to 2000), each kept with its
// decoding so that the reader's passes never parse text. Every write goes
// through assign(), which keeps the two in step.

#include <array>
#include <string>

#include "shared/LineFormat.h"

namespace quilo {

class LineTable {
  public:
    static constexpr int kSize = 2001;

    LineTable() { clear(); }

    // Sets every entry to a single blank, the "no script data" value.
    void clear();
    void assign(int index, std::string text);

    const std::string& operator[](int index) const { return entries_[index].text; }
    const DecodedLine& decoded(int index) const { return entries_[index].decoded; }

  private:
    struct Entry {
        std::string text;
        DecodedLine decoded;
    };
    std::array<Entry, kSize> entries_;
};

}  // namespace quilo
