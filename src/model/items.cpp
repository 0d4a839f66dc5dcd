#include "model/items.h"

namespace vcd2 {

const char* VolumeFileStatement(FileType type) {
  switch (type) {
    case FileType::kRtfFile:
      return "RTF";
    case FileType::kPartsFile:
      return "GENRTF";
    case FileType::kIffDyuv:
      return "IFFDYUV";
    case FileType::kCopyright:
      return "COPYRIGHT";
    case FileType::kAbstract:
      return "ABSTRACT";
    case FileType::kVolumeSet:
      return "VOLSET";
    case FileType::kBiblio:
      return "BIBLIO";
    default:
      return "FILE";
  }
}

}  // namespace vcd2
