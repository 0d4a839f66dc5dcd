// Feeds arbitrary bytes as the raw audio source of a CD-DA track through the
// track measuring.
#include <cstddef>
#include <cstdint>

#include "fuzz_support.h"
#include "image/audio_tracks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace vcd2;
  fuzz::Quiet();
  FileRef file(fuzz::WriteInput("audio.raw", data, size));
  file.SetFileType(FileType::kPcmLittleEndian);
  VcdProject project;
  project.audio_tracks.push_back(std::make_unique<AudioTrack>(file, "A", 1));
  (void)BuildAudioTracks(project);
  return 0;
}
