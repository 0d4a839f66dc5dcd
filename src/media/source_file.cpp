#include "media/source_file.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>

#include "base/error_reporter.h"
#include "base/progress.h"

namespace vcd2 {

UniqueFile OpenSource(const std::string& path) {
  UniqueFile file(std::fopen(path.c_str(), "rb"));
  if (!file) ReportError("Could not read file %s", path.c_str());
  return file;
}

uint64_t SourceSize(const std::string& path) {
  std::error_code error;
  const auto size = std::filesystem::file_size(path, error);
  if (error) {
    // A source that cannot be measured ends the build as a file error; the
    // user learns which one first.
    ReportError("Could not read file %s (%s).", path.c_str(), error.message().c_str());
    throw FileError(path + ": " + error.message());
  }
  RequireReadable(path);
  return size;
}

void RequireReadable(const std::string& path) {
  if (UniqueFile(std::fopen(path.c_str(), "rb"))) return;
  const int error = errno;
  ReportError("Could not read file %s (%s).", path.c_str(), std::strerror(error));
  throw FileError(path + ": " + std::strerror(error));
}

void StartSectorProgress(uint64_t sectors) {
  constexpr uint64_t kMaxSteps = INT32_MAX / 10;
  SetProgressRange(0, static_cast<int32_t>(10 * std::min(sectors, kMaxSteps)));
  SetProgressStep(10);
}

}  // namespace vcd2
