#include "base/error_reporter.h"
#include "base/progress.h"
#include "make/encode_audio_source.h"
#include "make/make_rules.h"

namespace vcd2 {
namespace {

bool IsSoundFile(FileType type) {
  return type == FileType::kWave || type == FileType::kAiff || type == FileType::kPcmBigEndian ||
         type == FileType::kPcmLittleEndian;
}

}  // namespace

// The parser gives MPA rules sound sources only; the type is checked again
// because the encoder is chosen by it.
Status MakeAudio(VcdProject& project, AudioMakeRule& rule) {
  const SingleSourceJob job = PrepareSingleSource(rule, "More than one dependency for MAKE AUDIO.");
  if (job.next != SingleSourceJob::Next::kMake) return job.next == SingleSourceJob::Next::kDone;
  const FileType type = job.source->GetFileType();
  if (!IsSoundFile(type)) {
    ReportError("Illegal source file mode.");
    return false;
  }
  if (!CheckTargetWritable(job.target_path)) return false;
  MakingMark mark(job.target_path);
  if (!EncodeAudioSource(job.target_path, job.source_path, type, rule.bitrate_code,
                         rule.channel_mode, AbortFlag())) {
    return false;  // reported there
  }
  RecordMade(project, rule, job.target_path, mark);
  return true;
}

}  // namespace vcd2
