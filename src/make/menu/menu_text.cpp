#include "make/menu/menu_text.h"

#include <algorithm>

namespace vcd2 {
namespace {

constexpr char kFontFamily[] = "DejaVu Sans";
constexpr double kShrinkStep = 0.92;
constexpr double kOutlineShare = 0.16;  // outline width per pixel of font size

PangoLayoutHandle MakeLayout(cairo_t* cairo, const std::string& text, double size) {
  PangoLayoutHandle layout(pango_cairo_create_layout(cairo));
  const FontDescription font(pango_font_description_new());
  pango_font_description_set_family(font.get(), kFontFamily);
  pango_font_description_set_weight(font.get(), PANGO_WEIGHT_BOLD);
  pango_font_description_set_absolute_size(font.get(), size * PANGO_SCALE);
  pango_layout_set_font_description(layout.get(), font.get());
  pango_layout_set_single_paragraph_mode(layout.get(), TRUE);
  pango_layout_set_text(layout.get(), text.c_str(), -1);
  return layout;
}

double LogicalWidth(PangoLayout* layout) {
  PangoRectangle logical{};
  pango_layout_get_extents(layout, nullptr, &logical);
  return static_cast<double>(logical.width) / PANGO_SCALE;
}

}  // namespace

void DrawTextLine(cairo_t* cairo, const std::string& text, const MenuBox& box, double size,
                  double min_size, TextAlign align) {
  if (text.empty() || box.width <= 0) return;
  PangoLayoutHandle layout = MakeLayout(cairo, text, size);
  while (size > min_size && LogicalWidth(layout.get()) > box.width) {
    size = std::max(min_size, size * kShrinkStep);
    layout = MakeLayout(cairo, text, size);
  }
  if (LogicalWidth(layout.get()) > box.width) {
    pango_layout_set_width(layout.get(), static_cast<int>(box.width * PANGO_SCALE));
    pango_layout_set_ellipsize(layout.get(), PANGO_ELLIPSIZE_END);
  }
  PangoRectangle logical{};
  pango_layout_get_extents(layout.get(), nullptr, &logical);
  const double width = static_cast<double>(logical.width) / PANGO_SCALE;
  const double height = static_cast<double>(logical.height) / PANGO_SCALE;
  const double x = align == TextAlign::kCentre ? box.x + (box.width - width) / 2 : box.x;
  cairo_save(cairo);
  cairo_move_to(cairo, x - static_cast<double>(logical.x) / PANGO_SCALE,
                box.y + (box.height - height) / 2);
  pango_cairo_layout_path(cairo, layout.get());
  cairo_set_line_join(cairo, CAIRO_LINE_JOIN_ROUND);
  cairo_set_line_width(cairo, std::max(2.0, size * kOutlineShare));
  cairo_set_source_rgb(cairo, 0.02, 0.02, 0.06);
  cairo_stroke_preserve(cairo);
  cairo_set_source_rgb(cairo, 0.97, 0.96, 0.88);
  cairo_fill(cairo);
  cairo_restore(cairo);
}

}  // namespace vcd2
