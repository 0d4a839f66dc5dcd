#include "base/error_reporter.h"
#include "base/progress.h"
#include "make/encode_audio_source.h"
#include "make/file_tests.h"
#include "make/make_rules.h"

namespace vcd2 {
namespace {

bool IsSoundFile(FileType type) {
  return type == FileType::kWave || type == FileType::kAiff || type == FileType::kPcmBigEndian ||
         type == FileType::kPcmLittleEndian;
}

}  // namespace

Status MakeAudio(VcdProject& project, AudioMakeRule& rule) {
  const FileRef* source = SingleSource(rule, "More than one dependency for MAKE AUDIO.");
  if (source == nullptr) return false;
  if (!IsSoundFile(source->GetFileType())) {
    ReportError("Illegal source file mode.");
    return false;
  }
  const std::string source_path = source->NewFullPath().value_or("");
  const std::string target_path = rule.GetTarget()->NewFullPath().value_or("");
  if (!FileIsPresent(source_path)) {
    ReportError("Could not find dependency file %s.", source_path.c_str());
    return false;
  }
  if (IsUpToDate(target_path, source_path)) return true;
  if (!EncodeAudioSource(target_path, source_path, source->GetFileType(), rule.bitrate_code,
                         rule.channel_mode, AbortFlag())) {
    if (!AbortRequested()) ReportError("Could not encode MPEG AUDIO from %s.", source_path.c_str());
    return false;
  }
  RecordMade(project, rule, target_path);
  return true;
}

}  // namespace vcd2
