#include "graph.h"

#include <fcntl.h>
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

bool GraphOutput::NeedsDrawing() const {
  const char* format = GraphFormat(file_);
  return format != nullptr && std::strcmp(format, "dot") != 0;
}

// dot reads the DOT text on its standard input from the file it replaces,
// which is unlinked first so that dot writes a new file.
bool GraphOutput::Draw() const {
  std::string type = std::string("-T") + GraphFormat(file_);
  std::string dot = "dot";
  std::string output = "-o" + file_;
  char* argv[] = {dot.data(), type.data(), output.data(), nullptr};
  const int text = open(file_.c_str(), O_RDONLY | O_CLOEXEC);
  if (text < 0 || unlink(file_.c_str()) != 0) {
    std::fprintf(stderr, "vcd2build: cannot read the graph's DOT text in %s: %s\n", file_.c_str(),
                 std::strerror(errno));
    if (text >= 0) close(text);
    return false;
  }
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, text, STDIN_FILENO);
  pid_t pid = 0;
  const int error = posix_spawnp(&pid, "dot", &actions, nullptr, argv, environ);
  posix_spawn_file_actions_destroy(&actions);
  close(text);
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
