// Speed of the MAKE encoders: MPEG audio against real time, and stills.
// Usage: make_bench [seconds of audio]
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "base/byte_order.h"
#include "make/encode_audio_source.h"
#include "make/picture_coder.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr uint32_t kRate = 44100;

double Seconds(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Raw 16-bit stereo: two tones and some noise, so the encoder has work.
void WritePcm(const std::string& path, size_t frames) {
  std::vector<uint8_t> bytes(frames * 4);
  uint32_t noise = 1;
  for (size_t i = 0; i < frames; ++i) {
    noise = noise * 1664525 + 1013904223;
    const double t = static_cast<double>(i) / kRate;
    const auto left = static_cast<int16_t>(9000 * std::sin(2 * M_PI * 440 * t) + (noise >> 22));
    const auto right = static_cast<int16_t>(7000 * std::sin(2 * M_PI * 1250 * t) - (noise >> 23));
    vcd2::StoreLittleEndian16(&bytes[4 * i], static_cast<uint16_t>(left));
    vcd2::StoreLittleEndian16(&bytes[4 * i + 2], static_cast<uint16_t>(right));
  }
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

// A 24-bit BMP of gradients and a checkerboard, width a multiple of 4.
void WriteBmp(const std::string& path, int width, int height) {
  const uint32_t image = static_cast<uint32_t>(width * height * 3);
  std::vector<uint8_t> bytes(54 + image);
  bytes[0] = 'B';
  bytes[1] = 'M';
  vcd2::StoreLittleEndian32(&bytes[2], static_cast<uint32_t>(bytes.size()));
  vcd2::StoreLittleEndian32(&bytes[10], 54);
  vcd2::StoreLittleEndian32(&bytes[14], 40);
  vcd2::StoreLittleEndian32(&bytes[18], static_cast<uint32_t>(width));
  vcd2::StoreLittleEndian32(&bytes[22], static_cast<uint32_t>(height));
  vcd2::StoreLittleEndian16(&bytes[26], 1);
  vcd2::StoreLittleEndian16(&bytes[28], 24);
  vcd2::StoreLittleEndian32(&bytes[34], image);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      uint8_t* pixel = &bytes[54 + 3 * static_cast<size_t>(y * width + x)];
      const bool check = ((x / 32) + (y / 32)) % 2 == 0;
      pixel[0] = static_cast<uint8_t>(255 * x / width);
      pixel[1] = static_cast<uint8_t>(255 * y / height);
      pixel[2] = check ? 220 : static_cast<uint8_t>((x * y) & 0xFF);
    }
  }
  std::ofstream(path, std::ios::binary)
      .write(reinterpret_cast<const char*>(bytes.data()),
             static_cast<std::streamsize>(bytes.size()));
}

}  // namespace

int main(int argc, char** argv) {
  const size_t seconds = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 60;
  std::string pattern = (std::filesystem::temp_directory_path() / "vcd2-bench-XXXXXX").string();
  if (mkdtemp(pattern.data()) == nullptr) return 1;
  const std::filesystem::path dir(pattern);
  const std::atomic<bool> go_on{false};

  const std::string pcm = dir / "tone.pcm";
  WritePcm(pcm, seconds * kRate);
  for (const auto& [bitrate_code, mode_code, name] :
       {std::tuple{7, 1, "224 kbit/s stereo"}, std::tuple{3, 0, "64 kbit/s mono"}}) {
    const auto start = Clock::now();
    const bool ok = static_cast<bool>(vcd2::EncodeAudioSource(
        dir / "tone.mp2", pcm, vcd2::FileType::kPcmLittleEndian, static_cast<uint8_t>(bitrate_code),
        static_cast<uint32_t>(mode_code), go_on));
    const double took = Seconds(start);
    std::printf("MPEG audio, %-18s %7.1f x real time  (%zu s in %.3f s)%s\n", name,
                static_cast<double>(seconds) / took, seconds, took, ok ? "" : "  FAILED");
  }

  const std::string bmp = dir / "picture.bmp";
  WriteBmp(bmp, 1024, 768);
  for (const auto& [mode, name] :
       {std::pair{0x03u, "PAL high 704x576"}, std::pair{0x01u, "PAL low 352x288"}}) {
    constexpr int kRuns = 10;
    double total = 0;
    double best = 1e9;
    int failures = 0;
    std::error_code error;
    for (int run = 0; run < kRuns; ++run) {
      const auto start = Clock::now();
      failures += vcd2::EncodeStill(bmp, dir / "still.mpg", mode, go_on) != 0;
      const double took = Seconds(start);
      total += took;
      best = std::min(best, took);
    }
    std::printf("MPEG still, %-18s %7.1f ms mean, %.1f ms best, %ju bytes (1024x768 BMP)%s\n", name,
                1000 * total / kRuns, 1000 * best,
                static_cast<uintmax_t>(std::filesystem::file_size(dir / "still.mpg", error)),
                failures != 0 ? "  FAILED" : "");
  }
  std::filesystem::remove_all(dir);
  return 0;
}
