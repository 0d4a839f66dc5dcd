#include "make/clip/clip_record.h"

#include <cstdio>
#include <fstream>
#include <sstream>

namespace vcd2 {
namespace {

constexpr char kRecordVersion[] = "vcd2 MAKE MPEG 2";  // a changed encoder makes targets again

}  // namespace

std::string RecordPath(const std::string& target) {
  return target + ".make";
}

std::string DescribeJob(const ClipJob& job) {
  char cut[64];
  std::snprintf(cut, sizeof cut, " SKIP %.3f LENGTH %.3f", job.skip, job.length);
  return std::string(kRecordVersion) + (job.pal ? " PAL" : " NTSC") + " VIDEO " + job.video_path +
         (job.audio_path.empty() ? "" : " AUDIO " + job.audio_path) + cut + "\n";
}

bool RecordMatches(const std::string& target, const std::string& description) {
  std::ifstream file(RecordPath(target));
  std::stringstream text;
  text << file.rdbuf();
  return file && text.str() == description;
}

bool WriteRecord(const std::string& target, const std::string& description) {
  std::ofstream file(RecordPath(target), std::ios::trunc);
  file << description;
  file.close();
  return static_cast<bool>(file);
}

void RemoveRecord(const std::string& target) {
  std::remove(RecordPath(target).c_str());
}

}  // namespace vcd2
