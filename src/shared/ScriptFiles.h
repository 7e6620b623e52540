#pragma once
// Resolves a file name written in the running script (a picture, a background,
// a sound): relative names are taken from the script's own folder.

#include <string>

#include "shared/Modulo1.h"
#include "shared/PathResolver.h"

namespace quilo {

class ScriptFiles {
  public:
    ScriptFiles(const Modulo1& state, const PathResolver& paths) : state_(state), paths_(paths) {}

    std::string resolve(const std::string& name) const {
        const auto script = paths_.resolve(state_.scriptPath);
        return paths_.resolve(name, script.parent_path()).string();
    }

  private:
    const Modulo1& state_;
    const PathResolver& paths_;
};

}  // namespace quilo
