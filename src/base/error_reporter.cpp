#include "base/error_reporter.h"

#include <cstdarg>
#include <cstdio>
#include <mutex>
#include <vector>

namespace vcd2 {
namespace {

void WriteToStderr(const std::string& text) {
  std::fputs(text.c_str(), stderr);
  std::fputc('\n', stderr);
  std::fflush(stderr);
}

// printf into a string of whatever length the message needs.
std::string FormatV(const char* format, va_list args) {
  va_list copy;
  va_copy(copy, args);
  const int needed = std::vsnprintf(nullptr, 0, format, copy);
  va_end(copy);
  if (needed <= 0) return {};
  std::vector<char> buffer(static_cast<size_t>(needed) + 1);
  std::vsnprintf(buffer.data(), buffer.size(), format, args);
  return std::string(buffer.data(), static_cast<size_t>(needed));
}

// Serialises sink calls: a refused concurrent build may report while the
// running build does.
std::mutex& SinkMutex() {
  static std::mutex mutex;
  return mutex;
}

}  // namespace

ErrorReporter::ErrorReporter() : sink_(WriteToStderr) {}

void ErrorReporter::SetSink(Sink sink) {
  std::lock_guard lock(SinkMutex());
  sink_ = sink ? std::move(sink) : Sink(WriteToStderr);
}

void ErrorReporter::ReportError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  ReportErrorV(format, args);
  va_end(args);
}

void ErrorReporter::ReportErrorV(const char* format, va_list args) {
  std::string text;
  if (!script_name_.empty()) {
    char prefix_line[32];
    std::snprintf(prefix_line, sizeof prefix_line, " Line %lu:\r\n",
                  static_cast<unsigned long>(Line()));
    text = script_name_ + prefix_line;
  }
  text += FormatV(format, args);
  ShowPlain(text);
}

void ErrorReporter::ShowPlain(const std::string& text) {
  std::lock_guard lock(SinkMutex());
  sink_(text);
}

ErrorReporter& Reporter() {
  static ErrorReporter reporter;
  return reporter;
}

void ReportError(const char* format, ...) {
  va_list args;
  va_start(args, format);
  Reporter().ReportErrorV(format, args);
  va_end(args);
}

}  // namespace vcd2
