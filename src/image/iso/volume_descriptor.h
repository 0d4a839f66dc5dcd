#pragma once

#include <cstdint>
#include <string>

#include "base/disc_layout.h"
#include "base/iso_layout.h"
#include "image/iso/volume_tree.h"

namespace vcd2 {

// Where later steps find the root directory record and the volume space size.
inline constexpr size_t kPvdRootRecordOffset = pvd::kRootRecord;
inline constexpr size_t kPvdVolumeSpaceSizeOffset = pvd::kVolumeSpaceSize;

struct PrimaryVolumeFields {
  std::string system_id;
  std::string volume_id;
  std::string volume_set_id;
  std::string application_id;
  std::string copyright_id;
  std::string abstract_id;
  std::string bibliographic_id;
  uint32_t volume_space_size = 0;
  uint16_t volume_set_size = 1;
  uint16_t volume_sequence_number = 1;
  uint32_t path_table_size = 0;
  uint32_t l_path_table_lba = 0;
  uint32_t m_path_table_lba = 0;
  uint32_t root_extent = 0;
  uint32_t root_size = 0;
  RecordingDate date{};
};

// The 2048 bytes of a CD-ROM XA primary volume descriptor.
void BuildPrimaryVolumeDescriptor(uint8_t* out, const PrimaryVolumeFields& fields);
// The 2048 bytes of the volume descriptor set terminator.
void BuildSetTerminator(uint8_t* out);

}  // namespace vcd2
