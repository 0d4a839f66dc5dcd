// The library's two exported functions.
#include <atomic>
#include <cstring>
#include <system_error>

#include "base/error_reporter.h"
#include "base/progress.h"
#include "driver/build_thread.h"
#include "driver/host_tables.h"
#include "driver/stop_watch.h"
#include "model/vcd_project.h"
#include "vcd2/vcd2.h"

namespace {

std::atomic<bool> build_running{false};

int32_t StartBuild(const char* script_path, ProgressCallback progress) {
  using namespace vcd2;
  Reporter().SetScriptName("");
  SetProgressCallback(progress);
  ClearAbortRequest();
  if (script_path == nullptr) return VCD2_RESULT_FAILED;
  const size_t length = std::strlen(script_path);
  if (length >= VcdProject::kScriptPathSize) {
    ReportError("The script path is %zu bytes long; at most %zu are allowed.", length,
                VcdProject::kScriptPathSize - 1);
    return VCD2_RESULT_FAILED;
  }
  int32_t result = VCD2_RESULT_FAILED;
  try {
    const BuilderCallbacks* host = RegisteredHostTables().callbacks;
    result = RunWatched([path = std::string(script_path)] { return BuildThread(path); },
                        host != nullptr ? host->stop_request : nullptr);
  } catch (const std::system_error&) {
    ReportError("Could not start thread");
  }
  return result;
}

}  // namespace

extern "C" VCD2_EXPORT int32_t VCD2SetCallbacks(const BuilderCallbacks* callbacks) {
  vcd2::RegisterHostTables(callbacks);
  return 1;
}

extern "C" VCD2_EXPORT int32_t VCD2DiscBuilder(void* /*window*/, const char* script_path,
                                               ProgressCallback progress) {
  if (build_running.exchange(true)) {
    vcd2::Reporter().ShowPlain(
        "A build is already running in this process; this VCD2DiscBuilder call was refused.");
    return VCD2_RESULT_FAILED;
  }
  const int32_t result = StartBuild(script_path, progress);
  build_running = false;
  return result;
}
