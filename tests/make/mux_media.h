#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "model/codes.h"
#include "support/media_tools.h"
#include "support/pack_parser.h"
#include "support/temp_dir.h"

namespace vcd2::test {

// Media made by ffmpeg at test time, shared by the tests of one suite.
class MuxMedia {
 public:
  // One testsrc picture as an MPEG-1 still ending in the sequence end code;
  // with a size, zero bytes before the end code make it that long.
  std::string Still(int width, int height, const std::string& rate = "25", size_t size = 0);
  // A sine as MPEG-1 Layer II audio.
  std::string Audio(double seconds, int channels, int kbits, int rate = 44100);
  std::string Path(const std::string& name) const { return (dir_.Path() / name).string(); }

 private:
  TempDir dir_;
};

// A suite whose media are made once, with a directory for each test.
class MuxTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { media_ = new MuxMedia; }
  static void TearDownTestSuite() { delete media_; }
  std::string Out(const std::string& name) const { return (dir_.Path() / name).string(); }

  static inline MuxMedia* media_ = nullptr;
  TempDir dir_;
};

// A source of a MAKE MUX rule.
struct MuxSource {
  std::string path;
  FileType type;
  uint32_t stream;
  uint32_t length = 0;
};

// A MuxJob run on the sources into target, and the stream it wrote.
struct MuxRun {
  bool ok = false;
  std::vector<std::string> messages;
  std::vector<ParsedPack> packs;
};
MuxRun RunMuxJob(const std::string& target, const std::vector<MuxSource>& sources);

}  // namespace vcd2::test
