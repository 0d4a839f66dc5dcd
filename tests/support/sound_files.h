#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace vcd2::test {

// 16-bit samples as bytes, least or most significant byte first.
std::string Samples16(const std::vector<int16_t>& samples, bool big_endian = false);
// A stereo tone of `frames` frames: a sine on the left, a quieter one on the right.
std::vector<int16_t> StereoTone(size_t frames);

// A "fmt " chunk: format tag, channels, rate, bytes and bits per sample; with
// a channel mask, as WAVE_FORMAT_EXTENSIBLE with the tag as sub-format.
std::string WaveFmt(uint16_t tag, uint16_t channels, uint32_t rate, uint16_t bytes, uint16_t bits,
                    uint32_t mask = 0);
// A RIFF WAVE file with one "fmt " and one "data" chunk.
std::string WaveFile(uint16_t channels, uint16_t bits, uint32_t rate, const std::string& data);
// An AIFF file with a COMM and an SSND chunk (offset and block size 0);
// the rate is stored as an 80-bit extended number.
std::string AiffFile(uint16_t channels, uint16_t bits, double rate, const std::string& data);
// A chunk: identifier, 32-bit length in the given order, body (not padded).
std::string Chunk(const char* id, const std::string& body, bool big_endian);

}  // namespace vcd2::test
