#pragma once
// Ends the program at once ("Quit"), with no further handler run.

namespace quilo {

class ProgramExit {
  public:
    virtual ~ProgramExit() = default;
    virtual void quit() = 0;
};

}  // namespace quilo
