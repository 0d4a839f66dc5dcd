#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "model/codes.h"

namespace vcd2 {

class ScriptItem;
struct PsdList;

// x1, y1, x2, y2 of a selection's hot spot.
using HotSpotArea = std::array<uint8_t, 4>;
inline constexpr HotSpotArea kDefaultArea = {0, 0, 1, 1};

// A reference to a play target: a keyword target, or a name bound by the
// label check to an item or a list.
struct LabelRef {
  LabelRef() = default;
  // "NONE", "START" and "STOP" give their kinds, any other word a name.
  LabelRef(const std::string& word, uint32_t line);

  std::string name;
  HotSpotArea area = kDefaultArea;
  uint32_t line = 0;           // script line of the reference; 0 where not recorded
  ScriptItem* item = nullptr;  // bound target when kind is kItem
  PsdList* list = nullptr;     // bound target when kind is kList
  TargetKind kind = TargetKind::kNone;
};

}  // namespace vcd2
