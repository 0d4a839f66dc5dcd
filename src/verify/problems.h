#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vcd2 {

// Every problem the verifier knows, one row of kProblemTable each, in the
// order of the layers that find them.
enum class ProblemCode : uint8_t {
  kFileUnreadable,
  kCueSyntax,
  kCueMode,
  kCueIndex,
  kImageSize,
  kSectorSync,
  kSectorAddress,
  kSectorMode,
  kSubheaderCopies,
  kSectorEdc,
  kSectorEcc,
  kGapSector,
  kIsoDescriptor,
  kIsoVolumeSize,
  kIsoPathTable,
  kIsoDirectory,
  kIsoExtent,
  kIsoXa,
  kIsoMissingFile,
  kTrackAddress,
  kInfoField,
  kInfoPal,
  kInfoSegment,
  kEntriesField,
  kEntriesOrder,
  kEntryOutside,
  kEntryPicture,
  kLotOffset,
  kPsdDescriptor,
  kPsdItem,
  kPsdTarget,
  kPsdExtended,
  kMpegPack,
  kMpegClock,
  kMpegCompliance,
  kCount
};

enum class Severity : uint8_t { kFault, kWarning };

// A row of the table: the code's short name (shown in brackets and asked for
// by tests), whether it fails the disc, and what it means.
struct ProblemInfo {
  ProblemCode code;
  const char* name;
  Severity severity;
  const char* meaning;
};

const ProblemInfo& InfoOf(ProblemCode code);

// One problem found: where it is (a file and sector, or a table and field)
// and what is wrong there.
struct Problem {
  ProblemCode code;
  std::string where;
  std::string message;
};

// "WHERE: MESSAGE [name]"
std::string ProblemLine(const Problem& problem);

// The problems of one verification. Each is shown as it is found; past a
// few of one code only the count grows, so a disc of bad sectors gives a
// readable report and memory stays flat.
class ProblemLog {
 public:
  static constexpr size_t kShownPerCode = 10;

  void Add(ProblemCode code, std::string where, std::string message);
  void Add(ProblemCode code, std::string where, const char* format, ...)
      __attribute__((format(printf, 4, 5)));

  size_t Count(ProblemCode code) const { return counts_[static_cast<size_t>(code)]; }
  bool Has(ProblemCode code) const { return Count(code) != 0; }
  size_t Faults() const;
  size_t Warnings() const;
  // The problems shown, in the order found.
  const std::vector<Problem>& Shown() const { return shown_; }
  // "N more of [name]" for each code that was cut short.
  std::vector<std::string> Unshown() const;

 private:
  std::array<size_t, static_cast<size_t>(ProblemCode::kCount)> counts_{};
  std::vector<Problem> shown_;
};

// "FILE sector LBA (MM:SS:FF)": a sector by its disc address.
std::string SectorPlace(const std::string& file, int32_t lba);

}  // namespace vcd2
