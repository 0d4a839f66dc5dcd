#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/picture_position.h"
#include "model/script_item.h"

namespace vcd2 {

class EntryPoint;

// MPGTRACK: an MPEG-1 system stream written as a track of its own.
class MpegTrack : public ScriptItem {
 public:
  MpegTrack(FileRef file, std::string label, uint32_t sequence)
      : ScriptItem(std::move(file), std::move(label), ItemType::kMpegTrack, sequence) {}

  uint32_t video_standard = 2;       // 2 PAL, 3 otherwise
  std::vector<EntryPoint*> entries;  // borrowed from the project's entry list, timecode order
  std::vector<PicturePosition> sequence_headers;  // found when the track is written
};

// DATRACK: a CD-DA track.
class AudioTrack : public ScriptItem {
 public:
  AudioTrack(FileRef file, std::string label, uint32_t sequence)
      : ScriptItem(std::move(file), std::move(label), ItemType::kAudioTrack, sequence) {}
};

// SEGMENT: a segment play item.
class SegmentItem : public ScriptItem {
 public:
  SegmentItem(FileRef file, std::string label, uint32_t sequence)
      : ScriptItem(std::move(file), std::move(label), ItemType::kSegment, sequence) {}

  uint8_t content_flags = 0;
};

// DEFENTRY: an entry point inside an MPEG track.
class EntryPoint : public ScriptItem {
 public:
  EntryPoint(std::string label, std::string track_label, uint32_t timecode, uint8_t mode)
      : track_label(std::move(track_label)), timecode(timecode), placement_mode(mode) {
    this->label = std::move(label);
    item_type = ItemType::kEntry;
    SetFileType(FileType::kEntryPoint);
  }

  std::string track_label;
  MpegTrack* track = nullptr;  // bound by the label check
  uint32_t timecode;           // hours, minutes, seconds, pictures from the top byte down
  uint8_t placement_mode;      // 0 at or after, 1 at or before, 2 exactly
  uint32_t found_position = 0;
  uint32_t line = 0;                        // script line of the statement
  const EntryPoint* dropped_for = nullptr;  // the entry at the same time that kept its place
};

// One line of an OUTPUT block: a file that receives an image.
class OutputName : public ScriptItem {
 public:
  OutputName(FileRef file, uint32_t sequence) : ScriptItem(std::move(file), {}, {}, sequence) {}
};

// A source of a MAKE MUX rule.
class MakeSourceItem : public ScriptItem {
 public:
  MakeSourceItem(FileRef file, uint32_t stream_number)
      : ScriptItem(std::move(file), {}, ItemType::kMuxSource, 0), stream_number(stream_number) {}

  uint32_t length = 0;  // LENGTH of a STILL stream
  uint32_t stream_number;
};

// A file placed in the volume: FILE, RTF, IFFDYUV and the root files.
class CdiFile : public ScriptItem {
 public:
  CdiFile(FileRef file, std::string name, FileType type)
      : ScriptItem(std::move(file), {}, ItemType::kCdiFile, 0), name(std::move(name)) {
    SetFileType(type);
  }

  std::string name;  // name in the image
  uint32_t byte_size = 0;
};

// The statement that declares a volume file of the type: FILE, RTF, IFFDYUV,
// GENRTF, COPYRIGHT, ABSTRACT, VOLSET or BIBLIO.
const char* VolumeFileStatement(FileType type);

// One part of a GENRTF file.
class RtfPart : public FileRef {
 public:
  RtfPart(FileRef file, FileType type) : FileRef(std::move(file)) { SetFileType(type); }

  uint8_t submode = 0;       // every sector of the part
  uint8_t last_submode = 0;  // the part's last sector
};

// GENRTF: a real-time file made of parts.
class RtfFile : public CdiFile {
 public:
  explicit RtfFile(std::string name) : CdiFile(FileRef(), std::move(name), FileType::kPartsFile) {}

  std::vector<std::unique_ptr<RtfPart>> parts;
};

}  // namespace vcd2
