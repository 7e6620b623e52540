#pragma once
// The files a script names: there, regular, and read as the player will read
// them; a background drawn past the display's edge or not in 4:3; and a
// picture's transition, timed by whatever line follows it in the file.

#include <string>

#include "script/ScriptCommand.h"
#include "script/check/CheckContext.h"

namespace quilo {

// Whether the file is there and reads as what it should be; `what` names it
// in the finding ("immagine", "immagine di sfondo", "suono").
bool checkFile(CheckContext& context, int index, const std::string& name, const char* what);

// A background is fitted to the display by a whole scale, and the area it
// covers is where pictures and captions go.
void checkBackgroundShape(CheckContext& context, int index, const std::string& name);

// The file named on a picture, background or sound line.
void checkNamedFile(CheckContext& context, int index, ScriptCommand command,
                    const std::string& letter);

}  // namespace quilo
