#include "make/clip/make_mpeg.h"

#include <chrono>
#include <cstdio>
#include <functional>

#include "base/error_reporter.h"
#include "base/file_error.h"
#include "base/progress.h"
#include "make/clip/clip_codecs.h"
#include "make/clip/clip_record.h"
#include "make/file_tests.h"
#include "make/make_rules.h"
#include "make/pending_file.h"

namespace vcd2 {
namespace {

constexpr double kDiscSeconds = 80 * 60;
constexpr auto kStatusEvery = std::chrono::milliseconds(500);

// A timecode's seconds; its last field counts pictures of the norm's rate.
double Seconds(uint32_t timecode, bool pal) {
  const uint32_t whole =
      ((timecode >> 24) * 60 + (timecode >> 16 & 0xFF)) * 60 + (timecode >> 8 & 0xFF);
  return whole + (timecode & 0xFF) / (pal ? 25.0 : 30000.0 / 1001);
}

std::string BaseName(const std::string& path) {
  const size_t slash = path.rfind('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "Making TARGET from CLIP: m:ss left", at most twice a second.
class StatusLine {
 public:
  StatusLine(std::string target, std::string clip)
      : target_(BaseName(target)), clip_(BaseName(clip)) {}
  void operator()(double done, double total) {
    const auto now = std::chrono::steady_clock::now();
    if (now - last_ < kStatusEvery) return;
    last_ = now;
    if (done <= 0) return;
    const double elapsed = std::chrono::duration<double>(now - start_).count();
    const auto left = static_cast<long>(elapsed * (total - done) / done + 0.5);
    char text[512];
    std::snprintf(text, sizeof text, "Making %s from %s: %3d%%, %ld:%02ld left", target_.c_str(),
                  clip_.c_str(), total > 0 ? static_cast<int>(100 * done / total) : 0, left / 60,
                  left % 60);
    ShowStatus(text);
  }

 private:
  std::string target_;
  std::string clip_;
  std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
  std::chrono::steady_clock::time_point last_{};
};

Status Report(const ClipOutcome& outcome, const ClipJob& job, const std::string& target) {
  switch (outcome.result) {
    case ClipOutcome::Result::kMade:
      return true;
    case ClipOutcome::Result::kStopped:
      return false;
    case ClipOutcome::Result::kUnreadable:
      ReportError("%s", outcome.message.c_str());
      throw FileError(outcome.message);
    case ClipOutcome::Result::kRefused:
      ReportError("%s", outcome.message.c_str());
      return false;
    case ClipOutcome::Result::kFailed:
      break;
  }
  ReportError("Could not make %s from %s.", target.c_str(), job.video_path.c_str());
  return false;
}

}  // namespace

ClipJob JobOf(const MpegMakeRule& rule) {
  ClipJob job;
  for (const auto& source : rule.GetSources()) {
    (job.video_path.empty() ? job.video_path : job.audio_path) = source->NewFullPath().value_or("");
  }
  job.pal = rule.pal;
  job.skip = Seconds(rule.skip, rule.pal);
  job.length = Seconds(rule.length, rule.pal);
  return job;
}

bool IsCurrent(const MpegMakeRule& rule) {
  const std::string target = rule.GetTarget()->NewFullPath().value_or("");
  bool current = RecordMatches(target, DescribeJob(JobOf(rule)));
  for (const auto& source : rule.GetSources()) {
    current = current && IsUpToDate(target, source->NewFullPath().value_or(""));
  }
  return current;
}

Status MakeMpeg(VcdProject& project, MpegMakeRule& rule) {
  (void)project;  // the target is kept: no made file is recorded
  const std::string target = rule.GetTarget()->NewFullPath().value_or("");
  for (const auto& source : rule.GetSources()) {
    const std::string path = source->NewFullPath().value_or("");
    if (!FileIsPresent(path)) {
      ReportError("Could not find dependency file %s.", path.c_str());
      return false;
    }
  }
  if (IsCurrent(rule)) return true;
  ClipJob job = JobOf(rule);
  const std::string description = DescribeJob(job);
  const ClipCodecs* codecs = LoadClipCodecs();
  if (codecs == nullptr) return false;
  RemoveRecord(target);
  PendingFile pending(target);
  if (!pending.Created()) {
    ReportError("Could not create %s.", target.c_str());
    throw FileError(target);
  }
  job.target_path = pending.Path();
  StatusLine status(target, job.video_path);
  const ClipOutcome outcome = codecs->transcode_clip(job, std::ref(status), AbortFlag());
  if (!Report(outcome, job, target)) return false;
  if (!pending.Commit()) {
    ReportError("Could not create %s.", target.c_str());
    throw FileError(target);
  }
  WriteRecord(target, description);
  rule.MarkMade();
  if (!outcome.warning.empty()) ReportWarning("%s", outcome.warning.c_str());
  if (outcome.seconds > kDiscSeconds) {
    ReportWarning("%s lasts %.0f minutes: more than an 80-minute disc holds.", target.c_str(),
                  outcome.seconds / 60);
  }
  return true;
}

}  // namespace vcd2
