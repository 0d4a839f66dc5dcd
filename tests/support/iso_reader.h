#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct _iso9660_s;

namespace vcd2::test {

// Reads a raw 2352-byte data track image (with its pregap) with libiso9660,
// independently of the code that wrote it.
class IsoReader {
 public:
  struct Entry {
    std::string name;
    uint32_t lsn = 0;
    uint32_t size = 0;
    bool directory = false;
    uint16_t attributes = 0;
    uint8_t file_number = 0;
  };
  struct Descriptor {
    std::string system_id;
    std::string volume_id;
    std::string volume_set_id;
    std::string application_id;
    int volume_space_size = 0;
  };

  explicit IsoReader(const std::string& image);
  ~IsoReader();
  IsoReader(const IsoReader&) = delete;
  IsoReader& operator=(const IsoReader&) = delete;

  Descriptor ReadDescriptor() const;
  // The entries of a directory, without "." and ".."; nullopt when unreadable.
  std::optional<std::vector<Entry>> List(const std::string& directory) const;

 private:
  std::string copy_;
  ::_iso9660_s* iso_ = nullptr;
};

}  // namespace vcd2::test
