#pragma once

#include <string>

#include "base/status.h"
#include "model/vcd_project.h"

namespace vcd2 {

// The MENU pass of the make phase, after the tracks are made and before the
// stills, sounds and multiplexes: draws each MAKE MENU picture and encodes it
// with the still encoder into its target, which the build then deletes. A
// menu is drawn again in every build, since it shows the script's texts.
Status MakeMenus(VcdProject& project);

// --preview: writes each MAKE MENU picture into folder as a PNG file named
// after its target (menu.mpg gives menu.png), making nothing else.
Status WriteMenuPreviews(const VcdProject& project, const std::string& folder);

}  // namespace vcd2
