#include "driver/check_script.h"

#include <string>

#include "base/progress.h"
#include "driver/host_tables.h"
#include "make/check_makes.h"
#include "vcd2/vcd2.h"

namespace vcd2 {

CheckStart StartCheck(VcdProject& project) {
  ShowStatus("Checking sources...");
  MakeCheck check;
  if (!CheckMakes(project, check)) return CheckStart::kFailed;
  if (check.would_run.empty()) {
    project.outputs.WriteNothing();
    return CheckStart::kBuild;
  }
  std::string text = "MAKE rules that would run:\n";
  for (const std::string& rule : check.would_run) text += "  " + rule + "\n";
  text += "Their sources were checked as MAKE reads them, without encoding.\n";
  for (const std::string& source : check.unchecked) {
    text += "Not checked, an earlier rule makes it: " + source + "\n";
  }
  text +=
      "Not measured until these have run: the files they make and the images built from "
      "them.\n";
  const BuilderCallbacks* host = RegisteredHostTables().callbacks;
  if (host != nullptr && host->show_summary != nullptr) host->show_summary(text.c_str());
  return CheckStart::kDone;
}

}  // namespace vcd2
