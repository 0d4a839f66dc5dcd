// Feeds arbitrary bytes to the real-time file readers. An even first byte
// makes the rest an RTF file of raw sectors; an odd one makes a GENRTF file
// whose parts are the rest cut at each "PART", bits 1 to 4 choosing Form 2
// for parts 1 to 4 and bits 5 and 6 the closing end-of-record and
// end-of-file bits.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "fuzz_support.h"
#include "media/source_writer.h"

namespace {

constexpr size_t kMaxParts = 4;
constexpr std::string_view kPartMark = "PART";

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vcd2;
  fuzz::Quiet();
  if (size == 0) return 0;
  const uint8_t options = data[0];
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  VcdProject project;
  fuzz::DiscardingWriter writer;
  if ((options & 1) == 0) {
    CdiFile rtf(FileRef(fuzz::WriteInput("file.rtf", data + 1, size - 1)), "R.RTF",
                FileType::kRtfFile);
    (void)WriteSourceSectors(project, writer, rtf, 0, 1);
    return 0;
  }
  RtfFile rtf("G.RTF");
  size_t begin = 0;
  for (size_t k = 0; k < kMaxParts && begin <= rest.size(); ++k) {
    const size_t end =
        k + 1 == kMaxParts ? rest.size() : std::min(rest.find(kPartMark, begin), rest.size());
    const std::string_view piece = rest.substr(begin, end - begin);
    FileRef file(fuzz::WriteInput("part" + std::to_string(k),
                                  reinterpret_cast<const uint8_t*>(piece.data()), piece.size()));
    const bool form2 = (options >> (k + 1) & 1) != 0;
    auto part =
        std::make_unique<RtfPart>(file, form2 ? FileType::kForm2Part : FileType::kForm1Part);
    part->submode = form2 ? 0x28 : 0x08;
    part->last_submode = static_cast<uint8_t>(part->submode | (options & 0x20 ? 0x01 : 0) |
                                              (options & 0x40 ? 0x80 : 0));
    rtf.parts.push_back(std::move(part));
    begin = end + kPartMark.size();
  }
  (void)WriteSourceSectors(project, writer, rtf, 0, 1);
  return 0;
}
