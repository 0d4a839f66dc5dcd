#pragma once

#include <memory>
#include <string>
#include <vector>

#include "model/codes.h"
#include "model/file_ref.h"
#include "support/pack_parser.h"
#include "support/temp_dir.h"

namespace vcd2::test {

int Shell(const std::string& command);
std::string Capture(const std::string& command);

// Media made by ffmpeg at test time, shared by the tests of one suite.
class MuxMedia {
 public:
  // One testsrc picture as an MPEG-1 still ending in the sequence end code.
  std::string Still(int width, int height, const std::string& rate = "25",
                    const std::string& quality = "5");
  // A sine as MPEG-1 Layer II audio.
  std::string Audio(double seconds, int channels, int kbits, int rate = 44100);
  std::string Path(const std::string& name) const { return (dir_.Path() / name).string(); }

 private:
  TempDir dir_;
};

// The sources of a MAKE MUX rule.
class MuxSources {
 public:
  MuxSources& Add(const std::string& path, FileType type, uint32_t stream, uint32_t length = 0) {
    specs_.push_back({path, type, stream, length});
    return *this;
  }
  std::vector<std::unique_ptr<FileRef>> List() const;

 private:
  struct Spec {
    std::string path;
    FileType type;
    uint32_t stream;
    uint32_t length;
  };
  std::vector<Spec> specs_;
};

// A MuxJob run on the sources into target.
struct MuxRun {
  bool ok = false;
  std::vector<std::string> messages;
  std::vector<ParsedPack> packs;
};
MuxRun RunMuxJob(const std::string& target, const MuxSources& sources);

}  // namespace vcd2::test
