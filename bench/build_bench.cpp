// Builds a disc from a long Video CD stream with vcd2build and compares the
// time with a plain sequential copy of as many bytes, five times each,
// interleaved; the medians, first in the page cache, then including the wait
// for the data to reach the disk; CPU time, peak memory, the load average
// around the runs and a row for the README table.
// Usage: build_bench VCD2BUILD WORK_DIR [MINUTES]
// The stream is made with ffmpeg on first use and kept in WORK_DIR.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "child_run.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using vcd2::bench::ChildRun;

ChildRun Spawn(const std::vector<std::string>& args) {
  return vcd2::bench::Spawn(args, true);
}

// Waits until a file's data is on the disk.
void Sync(const fs::path& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb+");
  if (file == nullptr) return;
  fsync(fileno(file));
  std::fclose(file);
}

struct Timing {
  double cached = 0;  // until the last write returned
  double synced = 0;  // until the data was on the disk
};

// Copies source to target, repeating it until `bytes` are written, in 1 MiB
// blocks, and waits for the disk.
Timing PlainCopy(const fs::path& source, const fs::path& target, uintmax_t bytes) {
  std::vector<char> block(1 << 20);
  const auto start = Clock::now();
  std::FILE* out = std::fopen(target.c_str(), "wb");
  std::FILE* in = std::fopen(source.c_str(), "rb");
  for (uintmax_t written = 0; written < bytes;) {
    size_t got = std::fread(block.data(), 1, block.size(), in);
    if (got == 0) {
      std::rewind(in);
      continue;
    }
    got = static_cast<size_t>(std::min<uintmax_t>(got, bytes - written));
    std::fwrite(block.data(), 1, got, out);
    written += got;
  }
  std::fclose(in);
  std::fclose(out);
  Timing timing;
  timing.cached = std::chrono::duration<double>(Clock::now() - start).count();
  Sync(target);
  timing.synced = std::chrono::duration<double>(Clock::now() - start).count();
  return timing;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

void Row(const char* name, double seconds, double copy_seconds, double megabytes) {
  std::printf("%-22s %6.2f s %7.1f MB/s   copy %6.2f s   ratio %.2f\n", name, seconds,
              megabytes / seconds, copy_seconds, seconds / copy_seconds);
}

// The first line of /proc/loadavg: was the machine quiet?
std::string LoadAverage() {
  std::string line;
  std::getline(std::ifstream("/proc/loadavg"), line);
  return line + "\n";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: build_bench VCD2BUILD WORK_DIR [MINUTES]\n");
    return 2;
  }
  const std::string vcd2build = fs::absolute(argv[1]).string();
  const fs::path work = argv[2];
  const int minutes = argc > 3 ? std::atoi(argv[3]) : 30;
  fs::create_directories(work);
  const fs::path stream = work / ("long" + std::to_string(minutes) + ".mpg");
  if (!fs::exists(stream)) {
    std::printf("making a %d-minute stream with ffmpeg...\n", minutes);
    const std::string seconds = std::to_string(minutes * 60);
    const ChildRun made =
        Spawn({"ffmpeg", "-loglevel", "error", "-y", "-f", "lavfi", "-i",
               "testsrc=duration=" + seconds + ":size=352x288:rate=25", "-f", "lavfi", "-i",
               "sine=duration=" + seconds, "-target", "pal-vcd", (work / "part.mpg").string()});
    if (made.status != 0) return 1;
    fs::rename(work / "part.mpg", stream);
  }
  const fs::path script = work / "bench.vcd";
  std::ofstream(script) << "VERSION 2.0\nALBUM \"BENCH\"\nOUTPUT 1 \""
                        << (work / "data.bin").string() << "\" 2 \""
                        << (work / "track.bin").string() << "\" ENDOUTPUT\nMPGTRACK LONG 1 \""
                        << stream.string() << "\"\nDEFENTRY HALF 0:" << minutes / 2
                        << ":00:00 LONG\nENDFILE\n";
  std::printf("load average before: %s", LoadAverage().c_str());
  PlainCopy(stream, work / "warm.bin", fs::file_size(stream));  // the stream in the page cache
  constexpr int kRuns = 5;
  std::vector<double> build_cached, build_synced, copy_cached, copy_synced, user, system;
  long peak_kib = 0;
  for (int run = 0; run < kRuns; ++run) {
    Spawn({"sync"});
    const ChildRun build = Spawn({vcd2build, "--quiet", script.string()});
    if (build.status != 0) return 1;
    const auto synced = Clock::now();
    Sync(work / "data.bin");
    Sync(work / "track.bin");
    build_cached.push_back(build.seconds);
    build_synced.push_back(build.seconds +
                           std::chrono::duration<double>(Clock::now() - synced).count());
    peak_kib = std::max(peak_kib, build.peak_kib);
    user.push_back(build.cpu_user);
    system.push_back(build.cpu_system);
    Spawn({"sync"});
    const uintmax_t image_bytes =
        fs::file_size(work / "data.bin") + fs::file_size(work / "track.bin");
    const Timing copy = PlainCopy(stream, work / "copy.bin", image_bytes);
    copy_cached.push_back(copy.cached);
    copy_synced.push_back(copy.synced);
  }
  const double megabytes =
      static_cast<double>(fs::file_size(work / "data.bin") + fs::file_size(work / "track.bin")) /
      1e6;
  std::printf("stream: %d minutes, %.1f MB; images: %.1f MB; peak memory %.1f MB\n", minutes,
              static_cast<double>(fs::file_size(stream)) / 1e6, megabytes,
              static_cast<double>(peak_kib) / 1024);
  Row("vcd2build, page cache", Median(build_cached), Median(copy_cached), megabytes);
  Row("vcd2build, fsync", Median(build_synced), Median(copy_synced), megabytes);
  std::printf("CPU %.2f s user + %.2f s system; load average %s", Median(user), Median(system),
              LoadAverage().c_str());
  std::printf(
      "README row: | %d min | %.2f s | %.0f MB/s | %.1f MB | %.2f / %.2f | %.2f + %.2f s |\n",
      minutes, Median(build_cached), megabytes / Median(build_cached),
      static_cast<double>(peak_kib) / 1024, Median(build_cached) / Median(copy_cached),
      Median(build_synced) / Median(copy_synced), Median(user), Median(system));
  fs::remove(work / "copy.bin");
  fs::remove(work / "warm.bin");
  return 0;
}
