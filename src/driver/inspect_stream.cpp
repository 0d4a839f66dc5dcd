#include "driver/inspect_stream.h"

#include <sys/stat.h>

#include <new>

#include "base/error_reporter.h"
#include "base/file_error.h"
#include "driver/host_tables.h"
#include "driver/whole_input.h"
#include "media/source_file.h"
#include "media/stream_compliance.h"
#include "media/stream_facts.h"
#include "vcd2/vcd2.h"

namespace vcd2 {
namespace {

// A stream fed through a pipe is kept whole up to the size of a full disc.
constexpr uint64_t kMaxPipedStream = uint64_t{1} << 30;

}  // namespace

int32_t InspectStream(const std::string& path) {
  try {
    // A file that cannot be read is a file error, as in a build; a pipe is
    // not opened twice, since its writer would lose its reader.
    struct stat info {};
    if (stat(path.c_str(), &info) == 0 && S_ISREG(info.st_mode)) RequireReadable(path);
    // A pipe gives its bytes once; the stream is read several times.
    const UniqueFile file = OpenWholeInput(path, "an MPEG stream", kMaxPipedStream);
    if (!file) return VCD2_RESULT_FAILED;
    StreamFacts facts;
    std::string reason;
    if (!ReadStreamFacts(PathOfOpenFile(file.get()), facts, reason)) {
      ReportError("%s %s.", path.c_str(), reason.c_str());
      return VCD2_RESULT_FAILED;
    }
    const std::vector<StreamProblem> problems = FindStreamProblems(path, facts);
    const BuilderCallbacks* host = RegisteredHostTables().callbacks;
    if (host != nullptr && host->show_summary != nullptr) {
      host->show_summary(DescribeStream(path, facts, problems).c_str());
    }
    return problems.empty() ? VCD2_RESULT_OK : VCD2_RESULT_FAILED;
  } catch (const FileError&) {
    return VCD2_RESULT_FILE_ERROR;
  } catch (const std::bad_alloc&) {
    ReportError("A memory error occured.");
    return VCD2_RESULT_MEMORY_ERROR;
  }
}

}  // namespace vcd2
