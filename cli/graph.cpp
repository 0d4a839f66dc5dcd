#include "graph.h"

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

extern char** environ;

namespace {

bool EndsWith(const std::string& text, const char* suffix) {
  const size_t length = std::strlen(suffix);
  return text.size() > length && text.compare(text.size() - length, length, suffix) == 0;
}

}  // namespace

const char* GraphFormat(const std::string& file) {
  for (const char* format : {"dot", "svg", "png"}) {
    if (EndsWith(file, (std::string(".") + format).c_str())) return format;
  }
  return nullptr;
}

GraphOutput::~GraphOutput() {
  if (temporary_) std::remove(dot_path_.c_str());
}

bool GraphOutput::Prepare() {
  if (std::strcmp(GraphFormat(file_), "dot") == 0) {
    dot_path_ = file_;
    return true;
  }
  const char* directory = std::getenv("TMPDIR");
  std::string pattern =
      std::string(directory != nullptr && *directory != '\0' ? directory : "/tmp") +
      "/vcd2build-XXXXXX.dot";
  const int fd = mkstemps(pattern.data(), 4);
  if (fd < 0) {
    std::fprintf(stderr, "vcd2build: cannot make a temporary file for the graph: %s\n",
                 std::strerror(errno));
    return false;
  }
  close(fd);
  dot_path_ = pattern;
  temporary_ = true;
  return true;
}

bool GraphOutput::Draw() const {
  std::string type = std::string("-T") + GraphFormat(file_);
  std::string dot = "dot";
  std::string output = "-o" + file_;
  std::string input = dot_path_;
  char* argv[] = {dot.data(), type.data(), output.data(), input.data(), nullptr};
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, "dot", nullptr, nullptr, argv, environ);
  if (error != 0) {
    std::fprintf(stderr,
                 "vcd2build: cannot run dot to draw %s: %s\n"
                 "Install Graphviz, or name a .dot file to get the graph as text.\n",
                 file_.c_str(), std::strerror(error));
    return false;
  }
  int status = 0;
  while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
  }
  if (WIFEXITED(status) && WEXITSTATUS(status) == 0) return true;
  std::fprintf(stderr, "vcd2build: dot could not draw %s\n", file_.c_str());
  std::remove(file_.c_str());
  return false;
}
