#include "verify/chunk_reader.h"

#include <algorithm>

#include "base/unique_file.h"

namespace vcd2 {

ChunkReader::ChunkReader(const DiscSource& disc) : disc_(disc) {
  for (Chunk& slot : slots_) slot.bytes.resize(kChunkSectors * kRawSectorSize);
  thread_ = std::thread([this] { Run(); });
}

ChunkReader::~ChunkReader() {
  {
    const std::lock_guard lock(mutex_);
    stop_ = true;
  }
  changed_.notify_all();
  thread_.join();
}

const ChunkReader::Chunk& ChunkReader::Next() {
  std::unique_lock lock(mutex_);
  changed_.wait(lock, [this] { return full_[read_slot_]; });
  return slots_[read_slot_];
}

void ChunkReader::Release() {
  {
    const std::lock_guard lock(mutex_);
    full_[read_slot_] = false;
    read_slot_ = 1 - read_slot_;
  }
  changed_.notify_all();
}

size_t ChunkReader::Put(const TrackSpan* track, int32_t lba, size_t wanted, std::FILE* file) {
  Chunk& slot = slots_[write_slot_];
  {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return stop_ || !full_[write_slot_]; });
    if (stop_) return 0;
  }
  slot.track = track;
  slot.lba = lba;
  const size_t read =
      file == nullptr ? 0 : std::fread(slot.bytes.data(), kRawSectorSize, wanted, file);
  slot.sectors = read;
  {
    const std::lock_guard lock(mutex_);
    full_[write_slot_] = true;
    write_slot_ = 1 - write_slot_;
  }
  changed_.notify_all();
  return read;
}

// An unreadable file or a short read ends that track's chunks.
void ChunkReader::Run() {
  for (const TrackSpan& track : disc_.tracks) {
    const UniqueFile file(std::fopen(track.path.c_str(), "rb"));
    if (!file || fseeko(file.get(), track.file_offset, SEEK_SET) != 0) continue;
    for (int32_t lba = track.first; lba < track.end;) {
      const size_t wanted = std::min<size_t>(kChunkSectors, static_cast<size_t>(track.end - lba));
      const size_t got = Put(&track, lba, wanted, file.get());
      {
        const std::lock_guard lock(mutex_);
        if (stop_) return;
      }
      if (got < wanted) break;
      lba += static_cast<int32_t>(got);
    }
  }
  Put(nullptr, 0, 0, nullptr);  // the end
}

}  // namespace vcd2
