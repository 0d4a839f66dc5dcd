#pragma once

#include <cstdarg>
#include <cstdint>
#include <functional>
#include <string>

namespace vcd2 {

// Formats error messages, prefixes the script name and line while a script
// is parsed, and hands them to the host's sink (stderr without one).
class ErrorReporter {
 public:
  using Sink = std::function<void(const std::string& text)>;

  ErrorReporter();

  void ReportError(const char* format, ...) __attribute__((format(printf, 2, 3)));
  void ReportErrorV(const char* format, va_list args);
  // Shows a text as it is, without the script prefix.
  void ShowPlain(const std::string& text);

  void SetScriptName(std::string name) { script_name_ = std::move(name); }
  const std::string& ScriptName() const { return script_name_; }
  // The line shown in the prefix: the line source's while one is set (the
  // parser sets its reader), otherwise the one last set.
  void SetLine(uint32_t line) { line_ = line; }
  void SetLineSource(std::function<uint32_t()> source) { line_source_ = std::move(source); }
  uint32_t Line() const { return line_source_ ? line_source_() : line_; }
  // An empty sink restores stderr.
  void SetSink(Sink sink);

 private:
  std::string script_name_;
  uint32_t line_ = 1;
  std::function<uint32_t()> line_source_;
  Sink sink_;
};

// The process-wide reporter.
ErrorReporter& Reporter();

// Shorthand for Reporter().ReportError(...).
void ReportError(const char* format, ...) __attribute__((format(printf, 1, 2)));

}  // namespace vcd2
