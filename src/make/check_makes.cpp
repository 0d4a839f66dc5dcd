#include "make/check_makes.h"

#include <algorithm>
#include <cstdio>

#include "base/error_reporter.h"
#include "base/unique_file.h"
#include "make/audio_frame_reader.h"
#include "make/clip/make_mpeg.h"
#include "make/file_tests.h"
#include "make/make_rules.h"
#include "make/pcm_format.h"
#include "make/picture_header.h"
#include "make/still_pair.h"
#include "media/source_file.h"

namespace vcd2 {
namespace {

std::string PathOf(const FileRef& file) {
  return file.NewFullPath().value_or("");
}

// The header as EncodeAudioSource reads and accepts it.
Status CheckSound(const std::string& path, FileType file_mode) {
  std::string why;
  if (!CheckSoundSource(path, file_mode, why)) {
    ReportError("Could not encode MPEG AUDIO from %s.\r\n%s", path.c_str(), why.c_str());
    return false;
  }
  return true;
}

// The picture's header as MakeStill accepts it.
Status CheckPicture(const std::string& path) {
  std::string why;
  if (!AcceptPicture(path, why)) {
    ReportError("Could not encode MPEG STILL from %s.\r\n%s: %s.", path.c_str(), path.c_str(),
                why.c_str());
    return false;
  }
  return true;
}

// A MUX source as the multiplexer opens it: a still's first picture, or the
// first frame of MPEG audio.
Status CheckMuxSource(const std::string& path, FileType type) {
  if (type == FileType::kMpegStill) {
    StillPair pair;
    return LoadStillPair(path, nullptr, pair);
  }
  if (type != FileType::kMpegAudio) return true;  // the multiplexer refuses the rule itself
  AudioFrameReader reader(UniqueFile(std::fopen(path.c_str(), "rb")));
  std::string found;
  if (!reader.Open(found)) {
    ReportError("%s is not MPEG-1 Layer II audio: found %s.", path.c_str(), found.c_str());
    return false;
  }
  return true;
}

class MakeChecker {
 public:
  explicit MakeChecker(MakeCheck& check) : check_(check) {}

  Status CheckEncoding(const MakeRule& rule);
  Status CheckMux(const MakeRule& rule);
  Status CheckMenu(const MakeRule& rule);
  Status CheckClip(const MpegMakeRule& rule);

 private:
  void WouldRun(const MakeRule& rule, const std::string& target) {
    check_.would_run.push_back(std::string("MAKE ") + MakeKindName(rule.Kind()) + " " + target);
    made_.push_back(target);
  }
  bool WillBeMade(const std::string& path) const {
    return std::find(made_.begin(), made_.end(), path) != made_.end();
  }

  MakeCheck& check_;
  std::vector<std::string> made_;
};

Status MakeChecker::CheckEncoding(const MakeRule& rule) {
  const bool still = rule.Kind() == MakeKind::kStill;
  const SingleSourceJob job =
      PrepareSingleSource(rule, still ? "More than one dependency for MAKE STILL."
                                      : "More than one dependency for MAKE AUDIO.");
  if (job.next != SingleSourceJob::Next::kMake) return job.next == SingleSourceJob::Next::kDone;
  if (!(still ? CheckPicture(job.source_path)
              : CheckSound(job.source_path, job.source->GetFileType()))) {
    return false;
  }
  WouldRun(rule, job.target_path);
  return true;
}

// As MakeMux decides: every source present, the target due when missing or
// older than a source. A source made earlier in the build is not there yet.
Status MakeChecker::CheckMux(const MakeRule& rule) {
  const std::string target = PathOf(*rule.GetTarget());
  bool due = !FileIsPresent(target);
  std::vector<const FileRef*> present;
  for (const auto& source : rule.GetSources()) {
    const std::string path = PathOf(*source);
    if (WillBeMade(path)) {
      check_.unchecked.push_back(path);
      due = true;
      continue;
    }
    if (!CheckSourcePresent(path)) return false;
    RequireReadable(path);
    due = due || !IsUpToDate(target, path);
    present.push_back(source.get());
  }
  if (!due) return true;
  // The multiplexer opens its audio before the first still.
  std::stable_partition(present.begin(), present.end(), [](const FileRef* source) {
    return source->GetFileType() == FileType::kMpegAudio;
  });
  for (const FileRef* source : present) {
    if (!CheckMuxSource(PathOf(*source), source->GetFileType())) return false;
  }
  WouldRun(rule, target);
  return true;
}

// A menu is drawn in every build; its background is read as MAKE STILL reads
// a picture.
Status MakeChecker::CheckMenu(const MakeRule& rule) {
  for (const auto& source : rule.GetSources()) {
    const std::string path = PathOf(*source);
    if (!CheckSourcePresent(path) || !CheckPicture(path)) return false;
  }
  WouldRun(rule, PathOf(*rule.GetTarget()));
  return true;
}

// A clip is due unless its kept target records this rule; its sources must be
// there to be read. Whether libavformat can decode them is known only when it
// runs.
Status MakeChecker::CheckClip(const MpegMakeRule& rule) {
  if (IsCurrent(rule)) return true;
  for (const auto& source : rule.GetSources()) {
    const std::string path = PathOf(*source);
    if (!CheckSourcePresent(path)) return false;
    RequireReadable(path);
  }
  WouldRun(rule, PathOf(*rule.GetTarget()));
  return true;
}

}  // namespace

Status CheckMakes(const VcdProject& project, MakeCheck& check) {
  MakeChecker checker(check);
  for (const auto& rule : project.makes) {
    if (rule->Kind() == MakeKind::kMpeg) {
      if (!checker.CheckClip(static_cast<const MpegMakeRule&>(*rule))) return false;
    } else if (rule->Kind() == MakeKind::kMenu) {
      if (!checker.CheckMenu(*rule)) return false;
    } else if (rule->Kind() != MakeKind::kMux && !checker.CheckEncoding(*rule)) {
      return false;
    }
  }
  for (const auto& rule : project.makes) {
    if (rule->Kind() == MakeKind::kMux && !checker.CheckMux(*rule)) return false;
  }
  return true;
}

}  // namespace vcd2
