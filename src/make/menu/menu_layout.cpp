#include "make/menu/menu_layout.h"

#include <algorithm>
#include <cmath>

namespace vcd2 {
namespace {

constexpr double kSafeMargin = 0.10;
constexpr double kTitleShare = 0.17;         // of the safe height
constexpr double kCellGap = 0.04;            // of the safe width and height
constexpr double kThumbnailShare = 0.8;      // of the cell height
constexpr double kThumbnailWidthCap = 0.42;  // of the cell width
constexpr double kMinTextPixels = 18;        // at low resolution
constexpr double kTitlePixels = 26;
constexpr double kLabelPixels = 22;

size_t Columns(size_t buttons) {
  if (buttons <= 4) return 1;
  return buttons <= 10 ? 2 : 3;
}

}  // namespace

MenuLayout LayOutMenu(double width, double height, double scale, size_t buttons) {
  MenuLayout layout;
  const MenuBox safe{width * kSafeMargin, height * kSafeMargin, width * (1 - 2 * kSafeMargin),
                     height * (1 - 2 * kSafeMargin)};
  layout.min_text_size = kMinTextPixels * scale;
  layout.title = {safe.x, safe.y, safe.width, safe.height * kTitleShare};
  layout.title_size = std::min(kTitlePixels * scale, layout.title.height * 0.8);
  if (buttons == 0) return layout;
  const size_t columns = Columns(buttons);
  const size_t rows = (buttons + columns - 1) / columns;
  const double gap_x = safe.width * kCellGap;
  const double gap_y = safe.height * kCellGap;
  const double top = layout.title.y + layout.title.height;
  const double area_height = safe.y + safe.height - top;
  const double cell_width =
      (safe.width - gap_x * static_cast<double>(columns - 1)) / static_cast<double>(columns);
  const double cell_height =
      (area_height - gap_y * static_cast<double>(rows - 1)) / static_cast<double>(rows);
  // A column has room for the label beside the thumbnail; a grid cell is
  // narrow, so the label goes under it across the whole cell, at the
  // smallest size, which leaves the thumbnail most room.
  const bool beside = columns == 1;
  layout.label_size =
      beside ? std::max(layout.min_text_size, std::min(kLabelPixels * scale, cell_height * 0.55))
             : layout.min_text_size;
  layout.labels_centred = !beside;
  const double label_height = layout.label_size * 1.25;
  const double thumb_height =
      beside ? std::min(cell_height * kThumbnailShare, cell_width * kThumbnailWidthCap * 3 / 4)
             : std::max(0.0, cell_height - label_height - cell_height * 0.1);
  const double thumb_width = thumb_height * 4 / 3;
  const double inset = beside ? (cell_height - thumb_height) / 2 : cell_height * 0.05;
  for (size_t i = 0; i < buttons; ++i) {
    const double x = safe.x + static_cast<double>(i % columns) * (cell_width + gap_x);
    const double y = top + static_cast<double>(i / columns) * (cell_height + gap_y);
    layout.cells.push_back({x, y, cell_width, cell_height});
    if (beside) {
      const double pad = std::min(inset, cell_width * 0.03);
      layout.thumbnails.push_back({x + pad, y + inset, thumb_width, thumb_height});
      const double label_x = x + 3 * pad + thumb_width;
      layout.labels.push_back({label_x, y, x + cell_width - pad - label_x, cell_height});
    } else {
      layout.thumbnails.push_back(
          {x + (cell_width - thumb_width) / 2, y + inset, thumb_width, thumb_height});
      layout.labels.push_back(
          {x + inset, y + inset + thumb_height, cell_width - 2 * inset, label_height});
    }
  }
  return layout;
}

}  // namespace vcd2
