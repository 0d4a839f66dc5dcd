#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

namespace vcd2 {

// One MAKE MPEG job: a clip (and optionally another file's sound) turned
// into a Video CD system stream.
struct ClipJob {
  std::string video_path;
  std::string audio_path;  // empty: the clip's own sound
  std::string target_path;
  bool pal = true;
  double skip = 0;    // seconds cut from the start
  double length = 0;  // seconds kept; 0 keeps the rest
  int threads = 0;    // 0: one per core
};

// Seconds made so far and seconds the track will last.
using ClipProgress = std::function<void(double done, double total)>;

// What the transcoder has to say: a one-line refusal or failure naming the
// file, and warnings that did not stop it.
struct ClipOutcome {
  enum class Result { kMade, kRefused, kUnreadable, kFailed, kStopped } result = Result::kFailed;
  std::string message;
  std::string warning;  // mid-stream decode errors: one line, file and time
  double seconds = 0;   // length of the track made
};

// MAKE MPEG's part of the codec module. A changed entry takes a new version.
struct ClipCodecs {
  ClipOutcome (*transcode_clip)(const ClipJob& job, const ClipProgress& progress,
                                const std::atomic<bool>& abort);
};
inline constexpr uint32_t kClipCodecsVersion = 1;

// The transcoder itself, in the codec module: writes the target path as given.
ClipOutcome TranscodeClip(const ClipJob& job, const ClipProgress& progress,
                          const std::atomic<bool>& abort);

// The table, loading the codec module on first use; null, after reporting
// why, when it cannot be loaded.
const ClipCodecs* LoadClipCodecs();

}  // namespace vcd2
