#include "make/mux_job.h"

#include "base/error_reporter.h"

namespace vcd2 {

// Stands in for the multiplexer until it is part of the build.
MuxJob::MuxJob(const std::string& target_path, const std::vector<std::unique_ptr<FileRef>>&)
    : target_path_(target_path) {}

Status MuxJob::RunMux() {
  ReportError("Could not make %s: this build of vcd2 cannot multiplex yet.", target_path_.c_str());
  return false;
}

}  // namespace vcd2
