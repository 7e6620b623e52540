#pragma once
// The program's modal message box: it returns once the user has closed it.

#include <string>

namespace quilo {

class MessageBox {
  public:
    virtual ~MessageBox() = default;
    virtual void show(const std::string& text) = 0;
};

}  // namespace quilo
