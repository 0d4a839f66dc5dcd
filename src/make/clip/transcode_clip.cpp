// MAKE MPEG's transcoder: decode, filter, encode and multiplex one clip.
#include <algorithm>
#include <cmath>
#include <cstdio>

#include "make/clip/clip_codecs.h"
#include "make/clip/clip_filter.h"
#include "make/clip/clip_geometry.h"
#include "make/clip/clip_output.h"
#include "make/clip/clip_source.h"

extern "C" {
#include <libavutil/channel_layout.h>
#include <libavutil/log.h>
#include <libavutil/samplefmt.h>
}

namespace vcd2 {
namespace {

using Result = ClipOutcome::Result;
constexpr double kAudioLead = 0.5;  // seconds of sound encoded ahead of the picture

// h:mm:ss.s
std::string Clock(double seconds) {
  const auto whole = static_cast<long>(seconds);
  char text[40];
  std::snprintf(text, sizeof text, "%ld:%02ld:%04.1f", whole / 3600, whole / 60 % 60,
                seconds - static_cast<double>(whole / 60 * 60));
  return text;
}

// Keeps libav's notices off the terminal: what matters is said in our words.
class QuietLibav {
 public:
  QuietLibav() : level_(av_log_get_level()) { av_log_set_level(AV_LOG_QUIET); }
  ~QuietLibav() { av_log_set_level(level_); }
  QuietLibav(const QuietLibav&) = delete;
  QuietLibav& operator=(const QuietLibav&) = delete;

 private:
  int level_;
};

// True once a frame lies a second past the end of the cut: the rest of the
// clip need not be decoded.
bool PastCut(const ClipJob& job, const AVFrame& frame, AVRational time_base) {
  return job.length > 0 &&
         static_cast<double>(frame.pts) * av_q2d(time_base) > job.skip + job.length + 1;
}

class Transcoder {
 public:
  Transcoder(const ClipJob& job, const ClipProgress& progress, const std::atomic<bool>& abort)
      : job_(job), progress_(progress), abort_(abort) {}

  ClipOutcome Run();

 private:
  bool OpenSources();
  bool Refuse(Result result, const std::string& path, const char* why);
  bool PumpVideo();
  bool PumpAudio(double until);
  bool EncodeAudioFrame(AVFrame* frame);
  bool PadAudio(double until);
  bool Fail(const char* what);
  void NoteWarnings();

  const ClipJob& job_;
  const ClipProgress& progress_;
  const std::atomic<bool>& abort_;
  ClipOutcome outcome_;
  ClipSource video_;
  ClipSource audio_;
  bool has_audio_ = false;
  bool audio_done_ = false;
  ClipFilter video_filter_;
  ClipFilter audio_filter_;
  ClipOutput output_;
  AvFrame decoded_{av_frame_alloc()};
  AvFrame filtered_{av_frame_alloc()};
  AvFrame sound_decoded_{av_frame_alloc()};
  AvFrame sound_filtered_{av_frame_alloc()};
  int64_t frames_ = 0;
  int64_t samples_ = 0;
  double total_ = 0;
};

bool Transcoder::Refuse(Result result, const std::string& path, const char* why) {
  outcome_.result = result;
  outcome_.message = path + " " + why;
  return false;
}

bool Transcoder::Fail(const char* what) {
  outcome_.result = abort_ ? Result::kStopped : Result::kFailed;
  if (!abort_) outcome_.message = std::string(what) + " " + job_.target_path + ".";
  return false;
}

bool Transcoder::OpenSources() {
  switch (video_.Open(job_.video_path, AVMEDIA_TYPE_VIDEO, job_.threads)) {
    case ClipSource::Opened::kUnreadable:
      return Refuse(Result::kUnreadable, job_.video_path, "cannot be read.");
    case ClipSource::Opened::kNotMedia:
      return Refuse(Result::kRefused, job_.video_path, "is not a media file.");
    case ClipSource::Opened::kNoStream:
      return Refuse(Result::kRefused, job_.video_path, "has no picture.");
    case ClipSource::Opened::kOk:
      break;
  }
  const std::string& sound = job_.audio_path.empty() ? job_.video_path : job_.audio_path;
  const ClipSource::Opened opened = audio_.Open(sound, AVMEDIA_TYPE_AUDIO, 1);
  has_audio_ = opened == ClipSource::Opened::kOk;
  if (!job_.audio_path.empty() && !has_audio_) {
    return opened == ClipSource::Opened::kUnreadable
               ? Refuse(Result::kUnreadable, sound, "cannot be read.")
           : opened == ClipSource::Opened::kNotMedia
               ? Refuse(Result::kRefused, sound, "is not a media file.")
               : Refuse(Result::kRefused, sound, "has no sound.");
  }
  video_.SeekNear(job_.skip);
  if (has_audio_) audio_.SeekNear(job_.skip);
  const double rest = video_.Duration() - job_.skip;
  total_ = job_.length > 0 && (rest <= 0 || job_.length < rest) ? job_.length : std::max(rest, 0.0);
  return true;
}

// Decodes, filters and encodes the picture frame by frame, keeping the sound
// half a second ahead; the stop flag is looked at for every frame.
bool Transcoder::PumpVideo() {
  const double rate = av_q2d(output_.FrameRate());
  bool decoded_any = false;
  int64_t last = AV_NOPTS_VALUE;
  int64_t end = 0;  // where the last picture ends: the rate conversion keeps it
  for (bool more = true; more;) {
    if (abort_) return Fail("Stopped making");
    more = video_.ReadFrame(decoded_.get());
    if (more && !video_filter_.Built()) {
      ClipPicture picture{decoded_->width, decoded_->height, decoded_->sample_aspect_ratio.num,
                          decoded_->sample_aspect_ratio.den, video_.Rotation()};
      if (!video_filter_.Build(true, VideoSourceArgs(*decoded_, video_.TimeBase()),
                               VideoFilters(picture, job_.pal, job_.skip, job_.length), 0)) {
        return Fail("Could not set up the picture conversion for");
      }
    }
    if (!more && !decoded_any) {
      return Refuse(Result::kRefused, job_.video_path, "could not be decoded.");
    }
    decoded_any = true;
    if (more && PastCut(job_, *decoded_, video_.TimeBase())) more = false;
    if (more) {
      const int64_t pts = decoded_->pts;
      const int64_t step = decoded_->pkt_duration > 0             ? decoded_->pkt_duration
                           : last != AV_NOPTS_VALUE && pts > last ? pts - last
                                                                  : 0;
      end = std::max(end, pts + step);
      last = pts;
    }
    if (!more || !video_filter_.Push(decoded_.get())) {
      more = false;  // the end, or the cut is complete: drain what the filters hold
      video_filter_.Close(end);
    }
    av_frame_unref(decoded_.get());
    while (video_filter_.Pull(filtered_.get())) {
      filtered_->pts = frames_++;
      filtered_->pict_type = AV_PICTURE_TYPE_NONE;
      const double done = static_cast<double>(frames_) / rate;
      if (!PumpAudio(done + kAudioLead) || !output_.WriteVideo(filtered_.get())) {
        return Fail("Could not write");
      }
      av_frame_unref(filtered_.get());
      if (progress_) progress_(done, std::max(total_, done));
    }
  }
  if (frames_ == 0) return Refuse(Result::kRefused, job_.video_path, "has no picture in the cut.");
  return true;
}

// The last frame of a sound may come short: silence fills it.
bool Transcoder::EncodeAudioFrame(AVFrame* frame) {
  const int size = output_.AudioFrameSize();
  AvFrame full;
  if (frame->nb_samples < size) {
    full.reset(av_frame_alloc());
    if (!full) return false;
    full->format = frame->format;
    full->sample_rate = frame->sample_rate;
    full->nb_samples = size;
    if (av_channel_layout_copy(&full->ch_layout, &frame->ch_layout) < 0 ||
        av_frame_get_buffer(full.get(), 0) < 0) {
      return false;
    }
    const int channels = frame->ch_layout.nb_channels;
    const auto format = static_cast<AVSampleFormat>(frame->format);
    av_samples_copy(full->data, frame->data, 0, 0, frame->nb_samples, channels, format);
    av_samples_set_silence(full->data, frame->nb_samples, size - frame->nb_samples, channels,
                           format);
    frame = full.get();
  }
  frame->pts = samples_;
  samples_ += frame->nb_samples;
  return output_.WriteAudio(frame);
}

// Encodes the sound up to a time, seconds from the track's start.
bool Transcoder::PumpAudio(double until) {
  const auto wanted = static_cast<int64_t>(until * ClipOutput::kSampleRate);
  while (has_audio_ && !audio_done_ && samples_ < wanted) {
    if (audio_filter_.Built() && audio_filter_.Pull(sound_filtered_.get())) {
      const bool written = EncodeAudioFrame(sound_filtered_.get());
      av_frame_unref(sound_filtered_.get());
      if (!written) return false;
      continue;
    }
    const bool more = audio_.ReadFrame(sound_decoded_.get());
    if (more && !audio_filter_.Built() &&
        !audio_filter_.Build(false, AudioSourceArgs(*sound_decoded_, audio_.TimeBase()),
                             AudioFilters(job_.skip, job_.length), output_.AudioFrameSize())) {
      has_audio_ = false;  // a sound that cannot be converted: silence instead
      break;
    }
    if (!audio_filter_.Built()) {
      audio_done_ = true;
      break;
    }
    if (!audio_filter_.Push(more ? sound_decoded_.get() : nullptr)) audio_done_ = true;
    av_frame_unref(sound_decoded_.get());
    if (!more) {
      while (audio_filter_.Pull(sound_filtered_.get()) && samples_ < wanted) {
        const bool written = EncodeAudioFrame(sound_filtered_.get());
        av_frame_unref(sound_filtered_.get());
        if (!written) return false;
      }
      audio_done_ = true;
    }
  }
  return true;
}

// Silence from where the sound ended to a time.
bool Transcoder::PadAudio(double until) {
  const auto wanted = static_cast<int64_t>(std::ceil(until * ClipOutput::kSampleRate));
  AvFrame silence(av_frame_alloc());
  if (!silence) return false;
  silence->format = AV_SAMPLE_FMT_S16;
  silence->sample_rate = ClipOutput::kSampleRate;
  silence->nb_samples = output_.AudioFrameSize();
  av_channel_layout_default(&silence->ch_layout, 2);
  if (av_frame_get_buffer(silence.get(), 0) < 0) return false;
  av_samples_set_silence(silence->data, 0, silence->nb_samples, 2, AV_SAMPLE_FMT_S16);
  while (samples_ < wanted) {
    if (abort_ || !EncodeAudioFrame(silence.get())) return false;
  }
  return true;
}

void Transcoder::NoteWarnings() {
  const ClipSource* broken = video_.DecodeErrors() > 0 ? &video_ : has_audio_ ? &audio_ : nullptr;
  if (broken == nullptr || broken->DecodeErrors() == 0) return;
  const std::string& path =
      broken == &video_ || job_.audio_path.empty() ? job_.video_path : job_.audio_path;
  outcome_.warning = path + ": parts could not be decoded (the first at " +
                     Clock(broken->FirstErrorTime()) + "); they were passed over.";
}

ClipOutcome Transcoder::Run() {
  const QuietLibav quiet;
  if (!decoded_ || !filtered_ || !sound_decoded_ || !sound_filtered_)
    return Fail("Out of memory for"), outcome_;
  if (!OpenSources()) return outcome_;
  if (!output_.Open(job_.target_path, job_.pal, job_.threads)) {
    return Fail("Could not write"), outcome_;
  }
  if (!PumpVideo()) return outcome_;
  const double seconds = static_cast<double>(frames_) / av_q2d(output_.FrameRate());
  if (!PumpAudio(seconds) || !PadAudio(seconds) || !output_.Finish()) {
    return Fail("Could not write"), outcome_;
  }
  NoteWarnings();
  outcome_.result = Result::kMade;
  outcome_.seconds = seconds;
  return outcome_;
}

}  // namespace

ClipOutcome TranscodeClip(const ClipJob& job, const ClipProgress& progress,
                          const std::atomic<bool>& abort) {
  return Transcoder(job, progress, abort).Run();
}

}  // namespace vcd2
