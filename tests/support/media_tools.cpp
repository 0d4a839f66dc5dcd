#include "support/media_tools.h"

#include <cstdio>
#include <cstdlib>
#include <sstream>

namespace vcd2::test {

int Shell(const std::string& command) {
  return std::system((command + " >/dev/null 2>&1").c_str());
}

std::string Capture(const std::string& command) {
  std::string out;
  FILE* pipe = popen(command.c_str(), "r");
  if (pipe == nullptr) return out;
  char buffer[4096];
  for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) out.append(buffer, n);
  pclose(pipe);
  return out;
}

std::string Sha256(const std::string& path) {
  return Capture("sha256sum '" + path + "'").substr(0, 64);
}

std::map<std::string, std::string> ProbeStream(const std::string& path) {
  std::istringstream lines(
      Capture("ffprobe -v error -select_streams 0 -show_streams -of "
              "default=noprint_wrappers=1 '" +
              path + "'"));
  std::map<std::string, std::string> fields;
  for (std::string line; std::getline(lines, line);) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos) fields[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return fields;
}

bool MakeClip(const std::string& path, const std::string& options) {
  return Shell(
             "ffmpeg -y -f lavfi -i testsrc=size=352x288:rate=25 -f lavfi -i "
             "sine=sample_rate=44100 -t 1 " +
             options + " '" + path + "'") == 0;
}

}  // namespace vcd2::test
