#include "media/stream_compliance.h"

#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <filesystem>

#include "base/error_reporter.h"
#include "media/mpeg_constants.h"

namespace vcd2 {
namespace {

using picture::kNtscHeight;
using picture::kPalHeight;
using picture::kWidth;
constexpr double kPalRate = 25;
constexpr double kNtscRate = 30000.0 / 1001;
constexpr double kFilmRate = 24000.0 / 1001;
constexpr double kRateTolerance = 0.01;
constexpr uint32_t kMaxVideoBitRate = 1151929;  // what the mux rate leaves beside the audio
constexpr uint32_t kMaxBufferSize = 40 * 1024;
constexpr int kSampleRate = 44100;
constexpr uint32_t kMinAudioBitRate = 32000;
constexpr uint32_t kMaxAudioBitRate = 384000;
constexpr const char* kModes[] = {"stereo", "joint stereo", "dual channel", "single channel"};

std::string Format(const char* format, ...) __attribute__((format(printf, 1, 2)));
std::string Format(const char* format, ...) {
  char text[512];
  va_list args;
  va_start(args, format);
  std::vsnprintf(text, sizeof text, format, args);
  va_end(args);
  return text;
}

// A path as a shell word.
std::string Quoted(const std::string& path) {
  if (path.find_first_not_of(
          "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._/+-") ==
      std::string::npos) {
    return path;
  }
  std::string word = "'";
  for (char c : path) word += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return word + "'";
}

bool Near(double rate, double wanted) {
  return std::fabs(rate - wanted) < kRateTolerance;
}

bool IsPal(const StreamFacts& facts) {
  return facts.height == kPalHeight || facts.height == 2 * kPalHeight ||
         Near(facts.frame_rate, kPalRate);
}

bool PictureFits(const StreamFacts& facts) {
  const bool pal = facts.height == kPalHeight && Near(facts.frame_rate, kPalRate);
  const bool ntsc = facts.height == kNtscHeight &&
                    (Near(facts.frame_rate, kNtscRate) || Near(facts.frame_rate, kFilmRate));
  if (facts.still) {
    const bool low =
        facts.width == kWidth && (facts.height == kPalHeight || facts.height == kNtscHeight);
    const bool high = facts.width == 2 * kWidth &&
                      (facts.height == 2 * kPalHeight || facts.height == 2 * kNtscHeight);
    return low || high;
  }
  return facts.width == kWidth && (pal || ntsc);
}

class Advisor {
 public:
  explicit Advisor(const std::string& path, const StreamFacts& facts) : facts_(facts) {
    const std::filesystem::path out = std::filesystem::path(path).replace_filename(
        std::filesystem::path(path).stem().string() + "-vcd.mpg");
    in_ = Quoted(path);
    out_ = Quoted(out.string());
    in_path_ = path;
    out_path_ = out.string();
  }
  std::string Encode() const {
    return "ffmpeg -i " + in_ + " -target " + (IsPal(facts_) ? "pal" : "ntsc") + "-vcd " + out_;
  }
  std::string Audio() const {
    return "ffmpeg -i " + in_ +
           " -c:v copy -c:a mp2 -ar 44100 -b:a 224k -f vcd -packetsize 2324 -muxrate 1411200 " +
           out_;
  }
  // The script statement that makes a Video CD stream from any clip.
  std::string Make() const {
    return std::string("MAKE MPEG ") + (IsPal(facts_) ? "PAL" : "NTSC") + " \"" + out_path_ +
           "\" FROM VIDEO \"" + in_path_ + "\" ENDMAKE";
  }
  std::string Remux() const {
    return "ffmpeg -i " + in_ + " -c copy -f vcd -packetsize 2324 -muxrate 1411200 " + out_;
  }

 private:
  const StreamFacts& facts_;
  std::string in_;
  std::string out_;
  std::string in_path_;
  std::string out_path_;
};

// One command for all problems, the one that fixes the most: a new encoding
// fixes everything, a new sound fixes the sound and the packs, a remux the
// packs alone.
void OneAdvice(const Advisor& advisor, std::vector<StreamProblem>& problems) {
  const std::string ranked[] = {advisor.Encode(), advisor.Audio()};
  for (const std::string& advice : ranked) {
    for (const StreamProblem& problem : problems) {
      if (problem.advice != advice) continue;
      for (StreamProblem& each : problems) each.advice = advice;
      return;
    }
  }
}

void FindVideoProblems(const StreamFacts& facts, const Advisor& advisor,
                       std::vector<StreamProblem>& problems) {
  if (facts.video_version != 1) {
    problems.push_back({"the video is " + facts.video_codec + "; a Video CD needs MPEG-1 video",
                        advisor.Encode()});
  }
  if (!PictureFits(facts)) {
    problems.push_back({Format("the picture is %dx%d at %.3f frames/s; a Video CD needs %s",
                               facts.width, facts.height, facts.frame_rate,
                               facts.still ? "352x288, 352x240, 704x576 or 704x480"
                                           : "352x288 at 25 or 352x240 at 29.97 or 23.976"),
                        advisor.Encode()});
  }
  if (facts.oversize_still != 0) {
    problems.push_back(
        {Format("a still picture is %zu bytes; the buffer its stream declares holds %u",
                facts.oversize_still, facts.oversize_still_buffer),
         "make the still again with MAKE STILL, which fits it into its buffer"});
  }
  if (facts.still) return;
  if (facts.variable_rate) {
    problems.push_back(
        {"the video bit rate is variable; a Video CD needs a constant rate", advisor.Encode()});
  }
  if (facts.video_bit_rate > kMaxVideoBitRate) {
    problems.push_back({Format("the video bit rate is %u bit/s; a Video CD allows %u",
                               facts.video_bit_rate, kMaxVideoBitRate),
                        advisor.Encode()});
  }
  if (facts.buffer_size > kMaxBufferSize) {
    problems.push_back({Format("the video buffer is %u bytes; a Video CD allows %u",
                               facts.buffer_size, kMaxBufferSize),
                        advisor.Encode()});
  }
}

void FindAudioProblems(const StreamFacts& facts, const Advisor& advisor,
                       std::vector<StreamProblem>& problems) {
  if (facts.audio_layer != 2) {
    problems.push_back({"the audio is " + facts.audio_codec + "; a Video CD needs MPEG-1 layer II",
                        advisor.Audio()});
  }
  if (facts.sample_rate != kSampleRate) {
    problems.push_back({Format("the audio is sampled at %d Hz; a Video CD needs %d Hz",
                               facts.sample_rate, kSampleRate),
                        advisor.Audio()});
  }
  if (facts.audio_bit_rate < kMinAudioBitRate || facts.audio_bit_rate > kMaxAudioBitRate) {
    problems.push_back({Format("the audio bit rate is %u bit/s; a Video CD needs %u to %u",
                               facts.audio_bit_rate, kMinAudioBitRate, kMaxAudioBitRate),
                        advisor.Audio()});
  }
}

}  // namespace

std::vector<StreamProblem> FindStreamProblems(const std::string& path, const StreamFacts& facts) {
  const Advisor advisor(path, facts);
  std::vector<StreamProblem> problems;
  if (facts.mpeg_version == 0) {
    problems.push_back({"the file is " + facts.container +
                            ", no MPEG program stream; a Video CD needs an MPEG-1 system stream",
                        advisor.Encode()});
  } else if (facts.mpeg_version != 1) {
    problems.push_back({"the system stream is MPEG-2; a Video CD needs MPEG-1", advisor.Encode()});
  }
  if (facts.odd_packs != 0) {
    problems.push_back(
        {Format("%llu packs are not 2324 (2304 for audio) bytes long, the first %zu",
                static_cast<unsigned long long>(facts.odd_packs), facts.odd_pack_length),
         advisor.Remux()});
  }
  if (facts.mpeg_version == 1 && (facts.mux_rate != kMuxRate || facts.mux_rate_varies)) {
    problems.push_back({Format("the mux rate is %u%s; a Video CD needs %u", facts.mux_rate,
                               facts.mux_rate_varies ? " and varies" : "", kMuxRate),
                        advisor.Remux()});
  }
  if (facts.has_video) FindVideoProblems(facts, advisor, problems);
  if (facts.has_audio) FindAudioProblems(facts, advisor, problems);
  OneAdvice(advisor, problems);
  return problems;
}

std::string DescribeStream(const std::string& path, const StreamFacts& facts,
                           const std::vector<StreamProblem>& problems) {
  std::string text =
      path + (problems.empty() ? ": Video CD compliant\n" : ": not Video CD compliant\n");
  const auto row = [&text](const char* name, const std::string& needs, const std::string& has) {
    text += Format("  %-14s %-44s %s\n", name, needs.c_str(), has.c_str());
  };
  row("", "a Video CD needs", "this file has");
  row("system stream", "MPEG-1",
      facts.mpeg_version != 0 ? Format("MPEG-%d", facts.mpeg_version) : facts.container);
  if (facts.mpeg_version == 1) {
    row("pack sizes", "2324 bytes (2304 for audio)",
        facts.odd_packs == 0 ? std::string("2324 bytes (2304 for audio)")
                             : Format("%llu of %llu packs otherwise",
                                      static_cast<unsigned long long>(facts.odd_packs),
                                      static_cast<unsigned long long>(facts.packs)));
    row("mux rate", Format("%u", kMuxRate),
        Format("%u%s", facts.mux_rate, facts.mux_rate_varies ? ", varying" : ""));
  }
  if (facts.has_video) {
    row("video", "MPEG-1",
        facts.video_version != 0 ? Format("MPEG-%d", facts.video_version) : facts.video_codec);
    row("picture",
        facts.still ? "352x288/352x240, 704x576/704x480" : "352x288@25, 352x240@29.97/23.976",
        Format("%dx%d@%.3f", facts.width, facts.height, facts.frame_rate));
    row("video rate", facts.still ? "" : Format("at most %u bit/s", kMaxVideoBitRate),
        facts.video_bit_rate != 0 ? Format("%u bit/s", facts.video_bit_rate)
                                  : std::string("variable"));
    row("video buffer", facts.still ? "" : Format("at most %u bytes", kMaxBufferSize),
        facts.buffer_size != 0 ? Format("%u bytes", facts.buffer_size) : std::string("unknown"));
    row("kind", "still or motion", facts.still ? "still" : "motion");
  } else {
    row("video", "", "none");
  }
  if (facts.has_audio) {
    row("audio", "MPEG-1 layer II",
        facts.audio_layer != 0 ? Format("MPEG-1 layer %d", facts.audio_layer) : facts.audio_codec);
    row("sampling rate", Format("%d Hz", kSampleRate), Format("%d Hz", facts.sample_rate));
    row("audio rate", Format("%u to %u bit/s", kMinAudioBitRate, kMaxAudioBitRate),
        Format("%u bit/s", facts.audio_bit_rate));
    row("audio mode", "any", facts.audio_mode >= 0 ? kModes[facts.audio_mode] : "unknown");
  } else {
    row("audio", "", "none");
  }
  row("duration", "", Format("%.2f s", facts.duration));
  for (const StreamProblem& problem : problems) text += "  problem: " + problem.what + "\n";
  if (problems.empty()) return text;
  const Advisor advisor(path, facts);
  text += "    fix: " + problems.front().advice + "\n";
  if (facts.has_video && problems.front().advice == advisor.Encode()) {
    text += "    or in the script: " + advisor.Make() + "\n";
  }
  return text;
}

void WarnAboutProblems(const std::string& path, const std::vector<StreamProblem>& problems) {
  if (problems.empty()) return;
  std::string what;
  for (const StreamProblem& problem : problems) what += (what.empty() ? "" : "; ") + problem.what;
  ReportWarning("%s is not Video CD compliant: %s (vcd2build --inspect tells how to fix it).",
                path.c_str(), what.c_str());
}

}  // namespace vcd2
