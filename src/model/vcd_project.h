#pragma once

#include <array>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "base/staged_outputs.h"
#include "base/temporary_folder.h"
#include "model/items.h"
#include "model/made_file.h"
#include "model/make_rule.h"
#include "model/mount_point.h"
#include "model/pause_mark.h"
#include "model/psd_list.h"

namespace vcd2 {

template <typename T>
using OwnedList = std::vector<std::unique_ptr<T>>;

// Everything one build's script declares. Each object is owned by exactly one
// of these lists; the track entry lists and bound references only borrow.
// Destroying the project deletes the files that MAKE produced (MadeFile).
class VcdProject {
 public:
  static constexpr size_t kAlbumIdSize = 16;
  static constexpr size_t kApplicationNameSize = 48;  // 47 characters and a terminator
  static constexpr size_t kScriptPathSize = 256;

  VcdProject() = default;
  VcdProject(const VcdProject&) = delete;
  VcdProject& operator=(const VcdProject&) = delete;

  // The first mount with that label, or null.
  const MountPoint* FindMount(const std::string& label) const;

  std::string script_path;
  std::FILE* script_file = nullptr;  // opened and closed by the build thread
  uint32_t version = 0;              // 0 not given, 1 Video CD 1.1, 2 Video CD 2.0
  std::unique_ptr<FileRef> log_file;

  OwnedList<MountPoint> mounts;
  OwnedList<MpegTrack> mpeg_tracks;
  OwnedList<AudioTrack> audio_tracks;
  OwnedList<SegmentItem> segments;
  OwnedList<EntryPoint> entries;
  OwnedList<MakeRule> makes;
  OwnedList<PsdList> lists;
  OwnedList<PauseMark> pause_marks;
  OwnedList<OutputName> output_names;
  OwnedList<CdiFile> cdi_files;
  OwnedList<CdiFile> descriptor_files;
  OwnedList<MadeFile> made_files;

  std::string dir_text;
  uint32_t dir_given = 0;
  uint32_t parse_enabled = 0;
  uint16_t volume_count = 1;
  uint16_t volume_number = 1;
  std::array<char, kAlbumIdSize> album_id{};
  std::array<char, kApplicationNameSize> application_name{};
  uint8_t has_psd = 0;

  // Image writer state.
  StagedOutputs outputs;           // the images, named when the build has succeeded
  std::string image_file_name;     // working path of the data track image, reopened later
  uint32_t next_free_address = 0;  // LBA up to which the disc is planned
  uint32_t psd_size = 0;           // PSD.VCD in 8-byte units, end list included
  uint32_t extended_psd_size = 0;  // PSD_X.VCD in 8-byte units
  PsdList* start_list = nullptr;   // the list labelled START, found by the PSD plan
  TemporaryFolder temp_folder;     // holds the two below; removed with the project
  std::string psd_temp_path;       // extended PSD
  std::string lot_temp_path;       // extended LOT
};

}  // namespace vcd2
