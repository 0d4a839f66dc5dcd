// Verifies a whole disc with vcd2build --verify and compares the time with a
// plain read of its image from the page cache, three times each, interleaved;
// the medians, their ratio, and the peak memory of a disc of the full length
// and of one a quarter as long (flat memory keeps the two alike).
// Usage: verify_bench VCD2BUILD WORK_DIR [MINUTES]
// The disc is built on first use from a synthetic MPEG-1 stream of one video
// pack per sector and kept in WORK_DIR.
#include <fcntl.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "child_run.h"
#include "media/mpeg_constants.h"

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

using vcd2::bench::ChildRun;

ChildRun Spawn(const std::vector<std::string>& args) {
  return vcd2::bench::Spawn(args, false);
}

// Reads a file in 1 MiB blocks, as a plain reader would.
double PlainRead(const std::string& path) {
  const auto start = Clock::now();
  std::vector<char> buffer(size_t{1} << 20);
  const int fd = open(path.c_str(), O_RDONLY);
  uint8_t sink = 0;
  for (ssize_t n; (n = read(fd, buffer.data(), buffer.size())) > 0;) sink ^= buffer[0];
  close(fd);
  return std::chrono::duration<double>(Clock::now() - start).count() + sink * 0.0;
}

// One video pack per sector: a sequence header with an intra picture every
// 12 packs, otherwise predicted pictures; the clock rises by one sector.
// Zero bytes end the stream.
void WriteStream(const std::string& path, uint32_t sectors) {
  std::ofstream out(path, std::ios::binary);
  std::array<uint8_t, vcd2::kVideoPackSize> pack{};
  for (uint32_t i = 0; i < sectors; ++i) {
    pack.fill(0xFF);
    vcd2::StorePackHeader(pack.data(), 1200 * i + 3600);
    const size_t length = pack.size() - vcd2::kPackHeaderSize - 6;
    const uint8_t packet[] = {0,
                              0,
                              1,
                              vcd2::start_code::kVideo,
                              static_cast<uint8_t>(length >> 8),
                              static_cast<uint8_t>(length),
                              0x0F};
    std::copy(std::begin(packet), std::end(packet), pack.begin() + vcd2::kPackHeaderSize);
    uint8_t* payload = pack.data() + vcd2::kPackHeaderSize + sizeof packet;
    const uint8_t sequence[] = {0,    0,    1,    0xB3, 0x16, 0x01, 0x20, 0x13, 0x02,
                                0xCE, 0xE0, 0xA0, 0,    0,    1,    0xB8, 0x00, 0x08,
                                0x00, 0x00, 0,    0,    1,    0x00, 0x00, 0x08};
    const uint8_t predicted[] = {0, 0, 1, 0x00, 0x00, 0x10};
    if (i % 12 == 0) {
      std::copy(std::begin(sequence), std::end(sequence), payload);
    } else {
      std::copy(std::begin(predicted), std::end(predicted), payload);
    }
    out.write(reinterpret_cast<const char*>(pack.data()),
              static_cast<std::streamsize>(pack.size()));
  }
  const char zeros[4] = {};  // so that the reader delivers the last pack
  out.write(zeros, sizeof zeros);
}

// Builds NAME.bin/.cue from a stream of the given length unless it is there.
bool EnsureDisc(const std::string& vcd2build, const fs::path& work, const std::string& name,
                uint32_t sectors) {
  const fs::path cue = work / (name + ".cue");
  if (fs::exists(cue)) return true;
  const std::string stream = (work / (name + ".mpg")).string();
  WriteStream(stream, sectors);
  const std::string script = (work / (name + ".vcd")).string();
  std::ofstream(script) << "VERSION 2.0\nMOUNT INTERN W \"" << work.string() << "\"\nOUTPUT 1 W \""
                        << name << "_data.img\" 2 W \"" << name
                        << "_t1.img\" ENDOUTPUT\nMPGTRACK T 1 W \"" << name << ".mpg\"\nENDFILE\n";
  const ChildRun build = Spawn({vcd2build, "-q", "--disc", (work / name).string(), script});
  if (build.status != 0) {
    std::fprintf(stderr, "verify_bench: %s failed; try: %s %s\n", script.c_str(), vcd2build.c_str(),
                 script.c_str());
    return false;
  }
  fs::remove(stream);
  fs::remove(work / (name + "_t1.img"));
  return true;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: verify_bench VCD2BUILD WORK_DIR [MINUTES]\n");
    return 2;
  }
  const std::string vcd2build = argv[1];
  const fs::path work = argv[2];
  const double minutes = argc > 3 ? std::atof(argv[3]) : 74;
  fs::create_directories(work);
  const auto sectors = static_cast<uint32_t>(minutes * 60 * 75);
  if (!EnsureDisc(vcd2build, work, "full", sectors) ||
      !EnsureDisc(vcd2build, work, "quarter", sectors / 4)) {
    std::fprintf(stderr, "verify_bench: the discs could not be built\n");
    return 1;
  }
  const std::string bin = (work / "full.bin").string();
  const double megabytes = static_cast<double>(fs::file_size(bin)) / 1e6;
  PlainRead(bin);  // into the page cache
  std::vector<double> reads, verifies;
  long peak = 0;
  for (int i = 0; i < 3; ++i) {
    reads.push_back(PlainRead(bin));
    const ChildRun run = Spawn({vcd2build, "-q", "--verify", (work / "full.cue").string()});
    verifies.push_back(run.seconds);
    peak = std::max(peak, run.peak_kib);
  }
  const ChildRun quarter = Spawn({vcd2build, "-q", "--verify", (work / "quarter.cue").string()});
  const double read = Median(reads);
  const double verify = Median(verifies);
  std::printf("disc image            %8.1f MB\n", megabytes);
  std::printf("plain read (cached)   %8.3f s  %8.1f MB/s\n", read, megabytes / read);
  std::printf("vcd2build --verify    %8.3f s  %8.1f MB/s  (%.2f x the read)\n", verify,
              megabytes / verify, verify / read);
  std::printf("peak memory           %8ld KiB full disc, %ld KiB a quarter of it\n", peak,
              quarter.peak_kib);
  return 0;
}
