// MAKE MPEG against `ffmpeg -i CLIP -target pal-vcd` on the same 4:3 clip in
// the same run: time, size and PSNR of each against the clip scaled to
// 352x288. Usage: clip_bench [clip]; without one, ffmpeg makes a 10-second
// 768x576 clip of moving detail.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "make/clip/clip_codecs.h"

namespace {

using Clock = std::chrono::steady_clock;
namespace fs = std::filesystem;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

std::string Run(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}

// Mean PSNR over all planes and pictures of a stream against the reference,
// picture by picture from the first (the stream starts at its mux preload).
double Psnr(const std::string& stream, const std::string& reference) {
  const std::string log =
      Run("ffmpeg -nostats -i '" + stream + "' -f rawvideo -pix_fmt yuv420p -s 352x288 -r 25 -i '" +
          reference +
          "' -lavfi '[0:v]setpts=PTS-STARTPTS[a];[1:v]setpts=PTS-STARTPTS[b];[a][b]psnr' "
          "-f null - 2>&1");
  const size_t at = log.rfind("average:");
  return at == std::string::npos ? 0 : std::atof(log.c_str() + at + 8);
}

}  // namespace

int main(int argc, char** argv) {
  const fs::path dir = fs::temp_directory_path() / ("clip_bench." + std::to_string(getpid()));
  fs::create_directories(dir);
  std::string clip = argc > 1 ? argv[1] : (dir / "clip.mp4").string();
  if (argc <= 1 &&
      std::system(("ffmpeg -v error -y -f lavfi -i testsrc2=s=768x576:r=25 -f lavfi -i "
                   "mandelbrot=s=768x576:r=25 -f lavfi -i sine=r=48000 -filter_complex "
                   "'[0][1]blend=all_mode=average,format=yuv420p' -t 10 -c:v libx264 -crf 16 "
                   "-preset veryfast -c:a aac '" +
                   clip + "'")
                      .c_str()) != 0) {
    std::fprintf(stderr, "ffmpeg could not make the clip\n");
    return 1;
  }
  const std::string reference = (dir / "reference.yuv").string();
  const std::string theirs = (dir / "ffmpeg.mpg").string();
  const std::string ours = (dir / "vcd2.mpg").string();
  std::system(("ffmpeg -v error -y -i '" + clip + "' -vf scale=352:288 -r 25 -f rawvideo " +
               "-pix_fmt yuv420p '" + reference + "'")
                  .c_str());

  auto start = Clock::now();
  std::system(("ffmpeg -v error -y -i '" + clip + "' -target pal-vcd '" + theirs + "'").c_str());
  const double their_time = Seconds(start);

  vcd2::ClipJob job;
  job.video_path = clip;
  job.target_path = ours;
  const std::atomic<bool> abort{false};
  start = Clock::now();
  const vcd2::ClipOutcome outcome = vcd2::TranscodeClip(job, nullptr, abort);
  const double our_time = Seconds(start);
  if (outcome.result != vcd2::ClipOutcome::Result::kMade) {
    std::fprintf(stderr, "MAKE MPEG failed: %s\n", outcome.message.c_str());
    return 1;
  }
  const double their_psnr = Psnr(theirs, reference);
  const double our_psnr = Psnr(ours, reference);
  std::printf("%-28s %8s %10s %9s\n", "", "seconds", "bytes", "PSNR dB");
  std::printf("%-28s %8.2f %10ju %9.2f\n", "ffmpeg -target pal-vcd", their_time,
              static_cast<uintmax_t>(fs::file_size(theirs)), their_psnr);
  std::printf("%-28s %8.2f %10ju %9.2f\n", "MAKE MPEG", our_time,
              static_cast<uintmax_t>(fs::file_size(ours)), our_psnr);
  std::printf("MAKE MPEG: %+.2f dB in %.2fx the time\n", our_psnr - their_psnr,
              our_time / their_time);
  fs::remove_all(dir);
  return 0;
}
