#include "make/menu/draw_menu.h"

#include <algorithm>

#include "make/menu/cairo_handles.h"
#include "make/menu/menu_layout.h"
#include "make/menu/menu_text.h"
#include "make/menu/thumbnail.h"
#include "make/picture_decoder.h"

namespace vcd2 {
namespace {

// Paints the picture into the box, clipped to it: covering the box at the
// picture's own proportions (a background), or stretched to it (a frame of
// the disc, which is shown 4:3 whatever its pixel grid).
void PaintPicture(cairo_t* cairo, cairo_surface_t* picture, const MenuBox& box, bool cover) {
  const double width = cairo_image_surface_get_width(picture);
  const double height = cairo_image_surface_get_height(picture);
  double sx = box.width / width;
  double sy = box.height / height;
  if (cover) sx = sy = std::max(sx, sy);
  cairo_save(cairo);
  cairo_rectangle(cairo, box.x, box.y, box.width, box.height);
  cairo_clip(cairo);
  cairo_translate(cairo, box.x + (box.width - width * sx) / 2,
                  box.y + (box.height - height * sy) / 2);
  cairo_scale(cairo, sx, sy);
  cairo_set_source_surface(cairo, picture, 0, 0);
  cairo_pattern_set_filter(cairo_get_source(cairo), CAIRO_FILTER_GOOD);
  cairo_paint(cairo);
  cairo_restore(cairo);
}

void DrawButton(cairo_t* cairo, const MenuButton& button, const MenuLayout& layout, size_t i,
                double scale) {
  const MenuBox& cell = layout.cells[i];
  cairo_set_source_rgba(cairo, 0, 0, 0, 0.45);
  cairo_rectangle(cairo, cell.x, cell.y, cell.width, cell.height);
  cairo_fill(cairo);
  const MenuBox& thumb = layout.thumbnails[i];
  const AvFrame frame =
      button.stream.empty() ? nullptr : DecodeStreamPicture(button.stream, button.timecode);
  const CairoSurface picture = frame ? SurfaceFromFrame(*frame) : nullptr;
  if (picture) {
    PaintPicture(cairo, picture.get(), thumb, false);
  } else {
    cairo_set_source_rgb(cairo, 0.18, 0.2, 0.26);
    cairo_rectangle(cairo, thumb.x, thumb.y, thumb.width, thumb.height);
    cairo_fill(cairo);
  }
  cairo_set_source_rgb(cairo, 0.85, 0.85, 0.8);
  cairo_set_line_width(cairo, scale);
  cairo_rectangle(cairo, thumb.x, thumb.y, thumb.width, thumb.height);
  cairo_stroke(cairo);
  std::string label = std::to_string(button.number);
  if (!button.text.empty()) label += ". " + button.text;
  DrawTextLine(cairo, label, layout.labels[i], layout.label_size, layout.min_text_size,
               layout.labels_centred ? TextAlign::kCentre : TextAlign::kLeft);
}

}  // namespace

bool DrawMenu(const MenuPicture& menu, const std::string& path, std::string& error) {
  const CairoSurface surface(
      cairo_image_surface_create(CAIRO_FORMAT_RGB24, menu.width, menu.height));
  const Cairo cairo(cairo_create(surface.get()));
  if (cairo_status(cairo.get()) != CAIRO_STATUS_SUCCESS) {
    error = "Could not draw the menu: out of memory.";
    return false;
  }
  const MenuBox canvas{0, 0, static_cast<double>(menu.width), static_cast<double>(menu.height)};
  cairo_set_source_rgb(cairo.get(), 0.06, 0.08, 0.16);
  cairo_paint(cairo.get());
  if (!menu.background.empty()) {
    const AvFrame frame = DecodePicture(menu.background);
    const CairoSurface picture = frame ? SurfaceFromFrame(*frame) : nullptr;
    if (!picture) {
      error = "Could not read the menu background " + menu.background + ".";
      return false;
    }
    PaintPicture(cairo.get(), picture.get(), canvas, true);
  }
  const MenuLayout layout =
      LayOutMenu(canvas.width, canvas.height, menu.scale, menu.buttons.size());
  DrawTextLine(cairo.get(), menu.title, layout.title, layout.title_size, layout.min_text_size,
               TextAlign::kCentre);
  for (size_t i = 0; i < menu.buttons.size(); ++i) {
    DrawButton(cairo.get(), menu.buttons[i], layout, i, menu.scale);
  }
  cairo_surface_flush(surface.get());
  if (cairo_surface_write_to_png(surface.get(), path.c_str()) != CAIRO_STATUS_SUCCESS) {
    error = "Could not write the menu picture " + path + ".";
    return false;
  }
  return true;
}

}  // namespace vcd2
