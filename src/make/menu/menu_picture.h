#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vcd2 {

// One choice of a menu: the number the remote sends for it, its text, and
// the MPEG stream whose picture its thumbnail shows.
struct MenuButton {
  uint32_t number = 0;
  std::string text;
  std::string stream;     // empty: the choice plays nothing with a picture
  uint32_t timecode = 0;  // where in the stream: hours, minutes, seconds, pictures
};

// What a MAKE MENU picture shows, drawn in square pixels on a 4:3 canvas
// that the still encoder fits to the still's frame without bars.
struct MenuPicture {
  int width = 0;
  int height = 0;
  double scale = 1;  // 1 at low resolution, 2 at high
  std::string title;
  std::vector<MenuButton> buttons;
  std::string background;  // picture behind the menu; empty: a plain dark one
};

}  // namespace vcd2
