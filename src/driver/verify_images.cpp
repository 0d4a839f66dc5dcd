#include "driver/verify_images.h"

#include <new>
#include <vector>

#include "base/error_reporter.h"
#include "driver/host_tables.h"
#include "vcd2/vcd2.h"
#include "verify/verify_disc.h"

namespace vcd2 {

int32_t VerifyImages(const std::string& path) {
  try {
    const BuilderCallbacks* host = RegisteredHostTables().callbacks;
    std::vector<std::string> files = {path};
    if (host != nullptr && host->verify_files != nullptr) {
      for (const char* const* file = host->verify_files; *file != nullptr; ++file) {
        files.emplace_back(*file);
      }
    }
    ProblemLog log;
    std::string summary;
    const VerifyOutcome outcome = VerifyDisc(files, log, summary);
    if (!summary.empty() && host != nullptr && host->show_summary != nullptr) {
      host->show_summary(summary.c_str());
    }
    switch (outcome) {
      case VerifyOutcome::kClean:
        return VCD2_RESULT_OK;
      case VerifyOutcome::kUnreadable:
        return VCD2_RESULT_FILE_ERROR;
      default:
        return VCD2_RESULT_FAILED;
    }
  } catch (const std::bad_alloc&) {
    ReportError("A memory error occured.");
    return VCD2_RESULT_MEMORY_ERROR;
  }
}

}  // namespace vcd2
