#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "model/label_ref.h"

namespace vcd2 {

// Wait codes: whole seconds up to kWaitSecondsExact, then tens of seconds
// above 60; kWaitInfinite waits for ever.
inline constexpr uint8_t kWaitSecondsExact = 60;
inline constexpr uint8_t kWaitInfinite = 255;

// One PLAYLIST or SELECTION.
struct PsdList {
  PsdList(ListKind kind, std::string label) : kind(kind), label(std::move(label)) {}

  ListKind kind;
  ListLabelKind label_kind = ListLabelKind::kRefused;
  std::string label;  // empty for START
  std::vector<LabelRef> play_items;
  LabelRef next;
  LabelRef previous;
  LabelRef default_target;
  LabelRef return_target;
  LabelRef timeout;
  std::vector<LabelRef> selection_items;
  uint16_t playing_time = 0;  // 0 for INF
  uint8_t wait = 0;
  uint8_t auto_wait = 0;
  uint8_t base = 1;
  uint8_t loop = 0;  // 0 for INF
  uint8_t jump = 0;  // 0x00 IMMEDIATE, 0x80 COMPLETE

  // Set by the PSD plan: list id and descriptor offsets in 8-byte units.
  uint32_t lid = 0;
  uint32_t offset = 0;
  uint32_t extended_offset = 0;
};

}  // namespace vcd2
