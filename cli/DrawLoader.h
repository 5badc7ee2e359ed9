// Finds and loads the drawing module (draw/DrawModule.h) for the commands
// that paint through Qt.
#pragma once

#include <string>

#include "draw/DrawModule.h"

namespace lapforge {

// The module's functions, loaded on the first call from beside the
// executable or from the installation's library folder; null where it
// cannot be loaded, with why set to a sentence saying so.
const DrawModule* LoadDrawModule(std::string& why);

}  // namespace lapforge
