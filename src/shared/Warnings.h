#pragma once
// Where the program says what went wrong without stopping the show (a missing
// picture, an unreadable disc): standard error in the player, a list in tests.

#include <string>

namespace quilo {

class Warnings {
  public:
    virtual ~Warnings() = default;
    virtual void warn(const std::string& message) = 0;
};

}  // namespace quilo
