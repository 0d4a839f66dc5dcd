#include "verify/problems.h"

#include <cstdarg>
#include <cstdio>

#include "base/disc_layout.h"
#include "base/error_reporter.h"

namespace vcd2 {
namespace {

using enum ProblemCode;
constexpr Severity kFault = Severity::kFault;
constexpr Severity kWarning = Severity::kWarning;

constexpr ProblemInfo kProblemTable[] = {
    {kFileUnreadable, "file-unreadable", kFault, "a file of the disc cannot be read"},
    {kCueSyntax, "cue-syntax", kFault, "a cue sheet line is not understood"},
    {kCueMode, "cue-mode", kFault, "a track is neither MODE2/2352 nor AUDIO"},
    {kCueIndex, "cue-index", kFault, "an INDEX lies outside its file or out of order"},
    {kImageSize, "image-size", kFault, "an image is no whole number of sectors"},
    {kSectorSync, "sector-sync", kFault, "the sync pattern is wrong"},
    {kSectorAddress, "sector-address", kFault, "the header address is not the sector's place"},
    {kSectorMode, "sector-mode", kFault, "the sector is not Mode 2"},
    {kSubheaderCopies, "subheader-copies", kFault, "the two subheader copies differ"},
    {kSectorEdc, "sector-edc", kFault, "the EDC does not match"},
    {kSectorEcc, "sector-ecc", kFault, "the P or Q parity does not match"},
    {kGapSector, "gap-sector", kWarning, "a pregap or gap sector is not an empty Form 2 sector"},
    {kIsoDescriptor, "iso-descriptor", kFault, "the volume descriptors are wrong"},
    {kIsoVolumeSize, "iso-volume-size", kFault, "the volume space size is not the disc's"},
    {kIsoPathTable, "iso-path-table", kFault, "a path table disagrees with the directories"},
    {kIsoDirectory, "iso-directory", kFault, "a directory record is broken"},
    {kIsoExtent, "iso-extent", kFault, "a file lies outside the volume or its track"},
    {kIsoXa, "iso-xa", kFault, "the XA attributes do not fit the file's sectors"},
    {kIsoMissingFile, "iso-missing-file", kFault, "a file a Video CD needs is missing"},
    {kTrackAddress, "track-address", kFault, "a track is not where the disc plan puts it"},
    {kInfoField, "info-field", kFault, "an INFO.VCD field is wrong"},
    {kInfoPal, "info-pal", kFault, "a PAL flag disagrees with its track"},
    {kInfoSegment, "info-segment", kFault, "a segment content byte disagrees with its stream"},
    {kEntriesField, "entries-field", kFault, "an ENTRIES.VCD field is wrong"},
    {kEntriesOrder, "entries-order", kFault, "entries are not in ascending order"},
    {kEntryOutside, "entry-outside", kFault, "an entry lies outside its track"},
    {kEntryPicture, "entry-picture", kWarning, "an entry sector holds no sequence header"},
    {kLotOffset, "lot-offset", kFault, "a LOT offset is not a descriptor start"},
    {kPsdDescriptor, "psd-descriptor", kFault, "a PSD descriptor is broken"},
    {kPsdItem, "psd-item", kFault, "a play item number names nothing on the disc"},
    {kPsdTarget, "psd-target", kFault, "a target offset is not a descriptor start"},
    {kPsdExtended, "psd-extended", kFault, "PSD_X.VCD disagrees with PSD.VCD"},
    {kMpegPack, "mpeg-pack", kFault, "a track or segment sector holds no 2324/2304-byte pack"},
    {kMpegClock, "mpeg-clock", kFault, "the system clock does not rise"},
    {kMpegCompliance, "mpeg-compliance", kFault, "the stream is not Video CD compliant"},
};
static_assert(std::size(kProblemTable) == static_cast<size_t>(kCount));

std::string Formatted(const char* format, va_list args) {
  char text[512];
  std::vsnprintf(text, sizeof text, format, args);
  return text;
}

}  // namespace

const ProblemInfo& InfoOf(ProblemCode code) {
  return kProblemTable[static_cast<size_t>(code)];
}

std::string ProblemLine(const Problem& problem) {
  return problem.where + ": " + problem.message + " [" + InfoOf(problem.code).name + "]";
}

void ProblemLog::Add(ProblemCode code, std::string where, std::string message) {
  if (counts_[static_cast<size_t>(code)]++ >= kShownPerCode) return;
  Problem problem{code, std::move(where), std::move(message)};
  const std::string line = ProblemLine(problem);
  if (InfoOf(code).severity == Severity::kFault) {
    ReportError("%s", line.c_str());
  } else {
    ReportWarning("%s", line.c_str());
  }
  shown_.push_back(std::move(problem));
}

void ProblemLog::Add(ProblemCode code, std::string where, const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string message = Formatted(format, args);
  va_end(args);
  Add(code, std::move(where), std::move(message));
}

size_t ProblemLog::Faults() const {
  size_t faults = 0;
  for (const ProblemInfo& info : kProblemTable) {
    if (info.severity == Severity::kFault) faults += Count(info.code);
  }
  return faults;
}

size_t ProblemLog::Warnings() const {
  size_t warnings = 0;
  for (const ProblemInfo& info : kProblemTable) {
    if (info.severity == Severity::kWarning) warnings += Count(info.code);
  }
  return warnings;
}

std::vector<std::string> ProblemLog::Unshown() const {
  std::vector<std::string> lines;
  for (const ProblemInfo& info : kProblemTable) {
    if (Count(info.code) > kShownPerCode) {
      lines.push_back(std::to_string(Count(info.code) - kShownPerCode) + " more of [" + info.name +
                      "]");
    }
  }
  return lines;
}

std::string SectorPlace(const std::string& file, int32_t lba) {
  const int32_t a = lba + kPregapSectors;
  char text[64];
  if (a < 0) {
    std::snprintf(text, sizeof text, " sector %d", static_cast<int>(lba));
  } else {
    std::snprintf(text, sizeof text, " sector %d (%02d:%02d:%02d)", static_cast<int>(lba),
                  static_cast<int>(a / kSectorsPerMinute),
                  static_cast<int>(a / kSectorsPerSecond % 60),
                  static_cast<int>(a % kSectorsPerSecond));
  }
  return file + text;
}

}  // namespace vcd2
