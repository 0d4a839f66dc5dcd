// Feeds arbitrary bytes as a script through the parse, sort and label check
// phases. Every input must end in success or in reported messages.
#include <cstddef>
#include <cstdint>
#include <cstdio>

#include "base/error_reporter.h"
#include "model/check_labels.h"
#include "model/sort_items.h"
#include "model/vcd_project.h"
#include "script/script_parser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static const bool quiet = [] {
    vcd2::Reporter().SetSink([](const std::string&) {});
    return true;
  }();
  (void)quiet;
  std::FILE* script = size == 0 ? std::tmpfile() : fmemopen(const_cast<uint8_t*>(data), size, "rb");
  if (script == nullptr) return 0;
  {
    vcd2::VcdProject project;
    project.script_path = "fuzz.vcd";
    project.script_file = script;
    project.parse_enabled = 1;
    if (vcd2::ParseScript(project)) {
      vcd2::Reporter().SetScriptName("");
      if (vcd2::SortItems(project)) (void)vcd2::CheckLabels(project);
    }
  }
  std::fclose(script);
  return 0;
}
