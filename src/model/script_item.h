#pragma once

#include <cstdint>
#include <string>

#include "model/file_ref.h"

namespace vcd2 {

// A labelled item of the script that names a source file.
class ScriptItem : public FileRef {
 public:
  ScriptItem() = default;
  ScriptItem(FileRef file, std::string label, ItemType type, uint32_t sequence)
      : FileRef(std::move(file)), label(std::move(label)), item_type(type), sequence(sequence) {}

  std::string label;
  ItemType item_type = ItemType::kAudioTrack;
  uint32_t sequence = 0;      // sort key, as written
  uint32_t position = 0;      // place in its sorted list; entry number for entries
  uint32_t sector_count = 0;  // length in sectors
  uint32_t disc_address = 0;  // first sector on the disc
};

}  // namespace vcd2
