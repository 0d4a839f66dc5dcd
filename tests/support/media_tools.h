#pragma once

#include <map>
#include <string>

namespace vcd2::test {

// Runs a shell command quietly; its exit status.
int Shell(const std::string& command);
// The standard output of a shell command.
std::string Capture(const std::string& command);
// The SHA-256 of a file in hex, by sha256sum.
std::string Sha256(const std::string& path);
// `ffprobe -show_entries stream=...` of the first stream as key=value pairs.
std::map<std::string, std::string> ProbeStream(const std::string& path);

// A one-second clip of a test picture and a tone made by ffmpeg at path with
// the output options given (e.g. "-target pal-vcd"); true when made.
bool MakeClip(const std::string& path, const std::string& options);

}  // namespace vcd2::test
