#pragma once
// Brings one of the program's three windows in front of the others. Which
// windows are shown is model state; raising one is an act, so it is a port.

namespace quilo {

enum class Window { Tarvo1, testo1, frmAllegato };

class Windows {
  public:
    virtual ~Windows() = default;
    virtual void bringToFront(Window window) = 0;
};

}  // namespace quilo
