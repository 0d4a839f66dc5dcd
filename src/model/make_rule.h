#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "model/file_ref.h"
#include "model/items.h"
#include "model/label_ref.h"

namespace vcd2 {

// The word after MAKE that names a kind of rule.
inline const char* MakeKindName(MakeKind kind) {
  switch (kind) {
    case MakeKind::kStill:
      return "STILL";
    case MakeKind::kMux:
      return "MUX";
    case MakeKind::kAudio:
      return "MPA";
    case MakeKind::kMpeg:
      return "MPEG";
    case MakeKind::kMenu:
      return "MENU";
  }
  return "";
}

// One MAKE statement: a target file and the sources it is made from.
class MakeRule {
 public:
  MakeRule(MakeKind kind, const FileRef& target) : kind_(kind), target_(target) {}
  virtual ~MakeRule() = default;

  MakeKind Kind() const { return kind_; }
  void SetTarget(const FileRef& target) { target_ = target; }
  FileRef* GetTarget() { return &target_; }
  const FileRef* GetTarget() const { return &target_; }
  // Appends a MUX source made from an item.
  void AddItemSource(const MakeSourceItem& item) {
    sources_.push_back(std::make_unique<MakeSourceItem>(item));
  }
  void AddSource(const FileRef& source) { sources_.push_back(std::make_unique<FileRef>(source)); }
  void MarkMade() { made_ = true; }
  bool IsMade() const { return made_; }
  const std::vector<std::unique_ptr<FileRef>>& GetSources() const { return sources_; }

 private:
  MakeKind kind_;
  FileRef target_;
  std::vector<std::unique_ptr<FileRef>> sources_;
  bool made_ = false;
};

// MAKE MPA: MPEG audio from a sound file.
class AudioMakeRule : public MakeRule {
 public:
  explicit AudioMakeRule(const FileRef& target) : MakeRule(MakeKind::kAudio, target) {}

  uint8_t bitrate_code = 0;
  uint32_t channel_mode = 1;  // stereo unless the parameter word names a mode
};

// MAKE MUX: a system stream from video, audio and still streams.
class MuxMakeRule : public MakeRule {
 public:
  explicit MuxMakeRule(const FileRef& target) : MakeRule(MakeKind::kMux, target) {}
};

// MAKE STILL: an MPEG still from pictures.
class StillMakeRule : public MakeRule {
 public:
  explicit StillMakeRule(const FileRef& target) : MakeRule(MakeKind::kStill, target) {}

  uint8_t low_resolution = 0;  // 1 on the companion rule of a high-resolution still
};

// MAKE MENU: a selection's menu picture drawn and encoded as an MPEG still;
// its one optional source is the background picture.
class MenuMakeRule : public MakeRule {
 public:
  explicit MenuMakeRule(const FileRef& target) : MakeRule(MakeKind::kMenu, target) {}

  LabelRef selection;  // FROM SELECTION; bound to the list by the label check
  std::string title;
  std::vector<std::string> item_texts;  // ITEMS, in the selection's item order
  uint32_t line = 0;                    // script line of the statement
  uint8_t low_resolution = 0;           // 1 on the companion rule of a high-resolution menu
};

// MAKE MPEG: a Video CD system stream from any clip. The first source is the
// clip; a second one, when given, replaces its sound.
class MpegMakeRule : public MakeRule {
 public:
  explicit MpegMakeRule(const FileRef& target) : MakeRule(MakeKind::kMpeg, target) {}

  bool pal = true;
  uint32_t skip = 0;    // timecode cut from the start; 0 none
  uint32_t length = 0;  // timecode kept; 0 the rest of the clip
};

}  // namespace vcd2
