#pragma once

#include <array>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <thread>
#include <vector>

#include "verify/disc_source.h"

namespace vcd2 {

// Reads every sector of a disc's tracks in disc order, in chunks, on a thread
// of its own one chunk ahead of the caller, so that reading and checking
// overlap. Two buffers: memory stays flat.
class ChunkReader {
 public:
  struct Chunk {
    const TrackSpan* track = nullptr;
    int32_t lba = 0;     // of the first sector
    size_t sectors = 0;  // 0: the end
    std::vector<uint8_t> bytes;
  };

  explicit ChunkReader(const DiscSource& disc);
  ~ChunkReader();
  ChunkReader(const ChunkReader&) = delete;
  ChunkReader& operator=(const ChunkReader&) = delete;

  // The next chunk, valid until Release; one with no sectors at the end.
  const Chunk& Next();
  void Release();

 private:
  static constexpr size_t kChunkSectors = 256;  // 602 KB per read

  void Run();
  // Fills the next free slot; the sectors read.
  size_t Put(const TrackSpan* track, int32_t lba, size_t wanted, std::FILE* file);

  const DiscSource& disc_;
  std::array<Chunk, 2> slots_;
  std::array<bool, 2> full_{};
  size_t read_slot_ = 0;   // the next slot the caller takes
  size_t write_slot_ = 0;  // the next slot the thread fills
  bool stop_ = false;
  std::mutex mutex_;
  std::condition_variable changed_;
  std::thread thread_;
};

}  // namespace vcd2
