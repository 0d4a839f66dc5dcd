// Builds a whole disc from an arbitrary script against fixed small media in
// a private directory, which becomes the working directory (so corpus paths
// given to libFuzzer must be absolute): a.mpg and s.mpg (MPEG streams),
// f.txt, p.iff, r.rtf and cd.raw. The script runs through every phase as a
// build does; only outputs and MAKE targets that are new plain names in that
// directory are allowed, so no input can write elsewhere.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <set>

#include "base/error_reporter.h"
#include "base/file_error.h"
#include "fuzz_support.h"
#include "image/build_image.h"
#include "make/perform_makes.h"
#include "model/check_labels.h"
#include "model/output_paths.h"
#include "model/sort_items.h"
#include "script/script_parser.h"
#include "support/mpeg_synth.h"

namespace vcd2 {
namespace {

constexpr uint32_t kPacks = 20;

std::vector<uint8_t> Stream(uint16_t height, uint8_t still_id) {
  test::MpegSynth stream;
  std::vector<uint8_t> es = test::SequenceHeader(352, height);
  for (const auto& part : {test::GroupOfPictures(), test::Picture(0, 1, 40)}) {
    es.insert(es.end(), part.begin(), part.end());
  }
  stream.SystemHeaderPack(0, 0xE0);
  for (uint32_t i = 1; i < kPacks; ++i) {
    const uint8_t id = i % 5 == 4 ? 0xC0 : i == 1 && still_id != 0 ? still_id : 0xE0;
    stream.Pack(i * 1200, id, i == 1 ? es : test::Picture(static_cast<uint16_t>(i % 8), 2),
                id == 0xC0 ? 2304 : 2324);
  }
  return stream.Bytes();
}

void Put(const std::string& name, const std::vector<uint8_t>& bytes) {
  (void)fuzz::WriteInput(name, bytes.data(), bytes.size());
}

// Makes the media and moves into the work directory; the control files'
// temporary files go there too.
std::set<std::string> PrepareMedia() {
  fuzz::Quiet();
  Put("a.mpg", Stream(288, 0));
  Put("s.mpg", Stream(576, 0xE1));
  Put("f.txt", std::vector<uint8_t>(3000, 'f'));
  std::vector<uint8_t> iff = {'F', 'O', 'R', 'M', 0,   0,   0x10, 0x0C, 'I',  'M',
                              'A', 'G', 'I', 'D', 'A', 'T', 0,    0,    0x10, 0};
  iff.resize(iff.size() + 4096, 0x80);
  Put("p.iff", iff);
  std::vector<uint8_t> rtf(2 * 2352, 0);
  rtf[15] = rtf[2352 + 15] = 0x02;
  Put("r.rtf", rtf);
  Put("cd.raw", std::vector<uint8_t>(3 * 2352, 0));
  if (chdir(fuzz::WorkDir().c_str()) != 0) std::abort();
  setenv("TMPDIR", fuzz::WorkDir().c_str(), 1);
  std::set<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    names.insert(entry.path().filename().string());
  }
  return names;
}

// A new file of the work directory.
bool IsNewPlainName(const FileRef& file) {
  const std::string path = file.NewFullPath().value_or("");
  std::error_code error;  // a name the system refuses is no new file either
  return !path.empty() && path.find_first_of("/\\") == std::string::npos &&
         !std::filesystem::exists(path, error) && !error;
}

bool WritesOnlyNewFiles(const VcdProject& project) {
  for (const auto& name : project.output_names) {
    if (!IsNewPlainName(*name)) return false;
  }
  for (const auto& rule : project.makes) {
    if (!IsNewPlainName(*rule->GetTarget())) return false;
  }
  return true;
}

bool RunPhases(VcdProject& project) {
  const bool parsed = ParseScript(project);
  Reporter().SetScriptName("");
  return parsed && SortItems(project) && CheckLabels(project) && WritesOnlyNewFiles(project) &&
         CheckOutputPaths(project, ImageOutputs(project)) && PerformMakes(project) &&
         BuildImage(project);
}

}  // namespace
}  // namespace vcd2

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vcd2;
  static const std::set<std::string> media = PrepareMedia();
  {
    VcdProject project;
    const UniqueFile script = fuzz::AttachScript(project, data, size);
    if (!script) return 0;
    try {
      (void)RunPhases(project);
    } catch (const FileError&) {  // a source that cannot be measured; result 4 in a build
    }
  }
  for (const auto& entry : std::filesystem::directory_iterator(".")) {
    if (!media.count(entry.path().filename().string())) std::filesystem::remove_all(entry.path());
  }
  return 0;
}
