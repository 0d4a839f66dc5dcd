// Feeds arbitrary bytes as a script through the parse, sort and label check
// phases. Every input must end in success or in reported messages.
#include <cstddef>
#include <cstdint>

#include "base/error_reporter.h"
#include "fuzz_support.h"
#include "model/check_labels.h"
#include "model/sort_items.h"
#include "model/vcd_project.h"
#include "script/script_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vcd2;
  fuzz::Quiet();
  VcdProject project;
  const UniqueFile script = fuzz::AttachScript(project, data, size);
  if (!script) return 0;
  if (ParseScript(project)) {
    Reporter().SetScriptName("");
    if (SortItems(project)) (void)CheckLabels(project);
  }
  return 0;
}
