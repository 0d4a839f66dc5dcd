#pragma once

#include <optional>

#include "make/menu/menu_picture.h"
#include "model/make_rule.h"

namespace vcd2 {

// What the rule's menu shows, from its bound selection: per selection item
// the number the remote sends (the selection's base onwards), its ITEMS
// text, and the first picture of what it plays (the first play item of the
// list it leads to: a track at its start, an entry's track at the entry, a
// segment). None for a target type that is no still resolution.
std::optional<MenuPicture> DescribeMenu(const MenuMakeRule& rule);

// The canvas of a still resolution: 384x288 for PAL and 320x240 for NTSC at
// low resolution, twice that at high; none for other types.
std::optional<MenuPicture> MenuCanvas(FileType still_type);

}  // namespace vcd2
