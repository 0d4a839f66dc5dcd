#pragma once

#include <cstdio>
#include <string>

namespace vcd2 {

// File names of the Video CD directories, without the ";1" version.

inline std::string NumberedName(const char* format, unsigned number) {
  char name[24];
  std::snprintf(name, sizeof name, format, number);
  return name;
}

// MPEGAV\AVSEQnn.DAT, 1 for the first MPEG track.
inline std::string MpegTrackFileName(unsigned number) {
  return NumberedName("AVSEQ%.2u.DAT", number);
}
// CDDA\AUDIOnn.DAT by disc track number.
inline std::string AudioTrackFileName(unsigned number) {
  return NumberedName("AUDIO%.2u.DAT", number);
}
// SEGMENT\ITEMnnnn.DAT, 1 for segment play item number 0.
inline std::string SegmentFileName(unsigned number) {
  return NumberedName("ITEM%.4u.DAT", number);
}

}  // namespace vcd2
