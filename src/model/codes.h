#pragma once

#include <cstdint>

namespace vcd2 {

// Where a file reference points.
enum class LocationKind : uint32_t {
  kUndetermined = 0,
  kDirectPath = 1,
  kMountLabel = 2,     // mount label given, not yet bound
  kMountResolved = 3,  // bound to a MountPoint
};

// Source file types.
enum class FileType : uint32_t {
  kNone = 0,
  kWave = 2,
  kAiff = 3,
  kPcmBigEndian = 4,     // PCMM
  kPcmLittleEndian = 5,  // PCML
  kPicture = 6,          // BMP source of a still
  kPalLowStill = 7,
  kPalHighStill = 8,
  kNtscLowStill = 9,
  kNtscHighStill = 10,
  kMpegVideo = 11,
  kMpegAudio = 12,
  kMpegSystem = 13,
  kMpegStill = 14,
  kEntryPoint = 15,
  kForm1Part = 16,
  kForm2Part = 17,
  kPlainFile = 18,
  kRtfFile = 19,
  kPartsFile = 20,  // GENRTF
  kTextFile = 21,
  kIffDyuv = 22,
  kCopyright = 23,
  kVolumeSet = 24,
  kBiblio = 25,
  kAbstract = 26,
};

enum class ItemType : uint32_t {
  kAudioTrack = 0,
  kMpegTrack = 1,
  kSegment = 2,
  kEntry = 3,
  kCdiFile = 4,
  kMuxSource = 5,
};

// What a LabelRef names.
enum class TargetKind : uint32_t {
  kNone = 0,
  kStart = 1,
  kStop = 2,
  kMulti = 3,
  kMultiNum = 4,
  kName = 5,  // a name not yet bound
  kItem = 6,
  kList = 7,
};

enum class ListKind : uint32_t {
  kPlayList = 1,
  kSelection = 2,
};

// Label kind of a PsdList.
enum class ListLabelKind : uint32_t {
  kRefused = 0,
  kStart = 1,
  kNamed = 5,
};

enum class MountMode : uint32_t {
  kIntern = 1,
  kExtern = 2,
};

enum class MakeKind : uint32_t {
  kStill = 0,
  kMux = 1,
  kAudio = 2,
  kMpeg = 3,  // MAKE MPEG: a Video CD stream from any clip
  kMenu = 4,
};

}  // namespace vcd2
