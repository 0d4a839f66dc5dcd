#include "make/mux_output.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/error_reporter.h"
#include "base/file_error.h"

namespace vcd2 {

MuxOutput::~MuxOutput() {
  if (file_) {
    file_.reset();
    std::remove(target_.c_str());
  }
}

void MuxOutput::Fail() {
  const std::string reason = std::strerror(errno);
  ReportError("Could not write file %s (%s).", target_.c_str(), reason.c_str());
  throw FileError(target_ + ": " + reason);
}

void MuxOutput::Open() {
  file_.reset(std::fopen(target_.c_str(), "wb"));
  if (!file_) Fail();
}

void MuxOutput::Write(std::span<const uint8_t> bytes) {
  if (std::fwrite(bytes.data(), 1, bytes.size(), file_.get()) != bytes.size()) Fail();
}

void MuxOutput::Commit() {
  if (std::fclose(file_.release()) != 0) {
    const int error = errno;
    std::remove(target_.c_str());
    errno = error;
    Fail();
  }
}

}  // namespace vcd2
