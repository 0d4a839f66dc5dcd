#pragma once

#include <string>

#include "make/menu/menu_picture.h"

namespace vcd2 {

// In the codec module; MAKE calls it through LoadMenuCodecs. Draws the menu
// (background, title, and per button its thumbnail, number and text) and
// writes it as PNG at path.
bool DrawMenu(const MenuPicture& menu, const std::string& path, std::string& error);

}  // namespace vcd2
