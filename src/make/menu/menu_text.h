#pragma once

#include <string>

#include "make/menu/cairo_handles.h"
#include "make/menu/menu_layout.h"

namespace vcd2 {

enum class TextAlign { kLeft, kCentre };

// Draws one line of text in the box, light with a dark outline so that it
// reads on any background: the font at `size` pixels, made smaller down to
// min_size while the measured line is wider than the box, then cut with an
// ellipsis. Vertically centred in the box.
void DrawTextLine(cairo_t* cairo, const std::string& text, const MenuBox& box, double size,
                  double min_size, TextAlign align);

}  // namespace vcd2
