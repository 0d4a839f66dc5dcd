#pragma once

#include <cstdint>
#include <string>

#include "make/menu/menu_picture.h"

namespace vcd2 {

// MAKE MENU's drawing in the codec module (Pango, Cairo and FFmpeg's
// decoders). A new or changed entry takes a new kMenuCodecsVersion.
struct MenuCodecs {
  // Draws the menu and writes it as a PNG file at path; false, with the
  // reason in error, when a picture cannot be read or the file written.
  bool (*draw_menu)(const MenuPicture& menu, const std::string& path, std::string& error);
};
inline constexpr uint32_t kMenuCodecsVersion = 1;

// The drawing, loading the codec module on first use; null, after reporting
// why, when it cannot be loaded.
const MenuCodecs* LoadMenuCodecs();

}  // namespace vcd2
