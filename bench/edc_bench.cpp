// Throughput of the sector checksums against a plain copy of the same bytes.
// Usage: edc_bench [megabytes]
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "sector/ecc.h"
#include "sector/edc.h"
#include "sector/sector_layout.h"

namespace {

using Clock = std::chrono::steady_clock;

uint32_t BitwiseEdc(const uint8_t* data, size_t size) {
  uint32_t crc = 0;
  for (size_t i = 0; i < size; ++i) {
    crc ^= data[i];
    for (int bit = 0; bit < 8; ++bit) crc = (crc & 1) ? (crc >> 1) ^ 0xD8018001u : crc >> 1;
  }
  return crc;
}

template <typename Fn>
void Measure(const char* name, size_t sectors, Fn&& fn) {
  const auto start = Clock::now();
  uint32_t sink = 0;
  for (size_t i = 0; i < sectors; ++i) sink ^= fn(i);
  const double seconds = std::chrono::duration<double>(Clock::now() - start).count();
  const double megabytes = static_cast<double>(sectors) * vcd2::kRawSectorSize / 1e6;
  std::printf("%-28s %8.1f MB/s  (%zu sectors, %.3f s, check %08x)\n", name, megabytes / seconds,
              sectors, seconds, sink);
}

}  // namespace

int main(int argc, char** argv) {
  const size_t megabytes = argc > 1 ? std::strtoul(argv[1], nullptr, 10) : 256;
  const size_t sectors = megabytes * 1000000 / vcd2::kRawSectorSize;
  std::vector<uint8_t> ring(64 * vcd2::kRawSectorSize);
  for (size_t i = 0; i < ring.size(); ++i) ring[i] = static_cast<uint8_t>(i * 131 + 7);
  std::vector<uint8_t> target(ring.size());
  auto sector = [&](size_t i) { return ring.data() + (i % 64) * vcd2::kRawSectorSize; };

  Measure("plain copy", sectors, [&](size_t i) {
    std::memcpy(target.data() + (i % 64) * vcd2::kRawSectorSize, sector(i), vcd2::kRawSectorSize);
    return uint32_t{target[i % target.size()]};
  });
  Measure("EDC, Form 2", sectors, [&](size_t i) { return vcd2::Edc(sector(i) + 16, 2332); });
  Measure("EDC, Form 2 (bitwise)", sectors / 16,
          [&](size_t i) { return BitwiseEdc(sector(i) + 16, 2332); });
  Measure("EDC + ECC, Form 1", sectors, [&](size_t i) {
    uint8_t* s = sector(i);
    vcd2::ComputeEdc(s + 16);
    vcd2::ComputeEcc(s + 12);
    return uint32_t{s[2100]};
  });
  return 0;
}
