#pragma once

#include <cstddef>
#include <vector>

namespace vcd2 {

struct MenuBox {
  double x = 0;
  double y = 0;
  double width = 0;
  double height = 0;
};

// Where a menu's parts go on a width x height canvas, all inside the
// title-safe area (10% margins): the title along the top, then one cell per
// button in reading order, one column up to four buttons and a grid above.
// A cell holds a 4:3 thumbnail with its label beside it in a column, and
// centred under it in a grid. The
// sizes are the largest fonts the boxes take; scale is 1 at low resolution,
// where no text is smaller than 18 pixels.
struct MenuLayout {
  MenuBox title;
  double title_size = 0;
  std::vector<MenuBox> cells;
  std::vector<MenuBox> thumbnails;
  std::vector<MenuBox> labels;
  double label_size = 0;
  bool labels_centred = false;
  double min_text_size = 0;
};

MenuLayout LayOutMenu(double width, double height, double scale, size_t buttons);

}  // namespace vcd2
