#pragma once
// Runs vcd2build as a user runs it, in a child process.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

namespace vcd2::test {

struct Outcome {
  int exit_code = -1;
  std::string out;
  std::string err;
};

inline std::string Drain(int fd) {
  std::string text;
  char buffer[4096];
  for (ssize_t n; (n = read(fd, buffer, sizeof buffer)) > 0;) text.append(buffer, n);
  close(fd);
  return text;
}

// Runs vcd2build with the arguments and the environment settings ("NAME=value");
// `during` runs while it runs, given the process and its stderr.
inline Outcome RunBuild(std::vector<std::string> args, std::vector<std::string> env = {},
                        const std::function<void(pid_t, int, std::string&)>& during = {}) {
  int out[2], err[2];
  if (pipe(out) != 0 || pipe(err) != 0) return {};
  const pid_t pid = fork();
  if (pid == 0) {
    dup2(out[1], STDOUT_FILENO);
    dup2(err[1], STDERR_FILENO);
    for (int fd : {out[0], out[1], err[0], err[1]}) close(fd);
    for (auto& setting : env) putenv(setting.data());
    std::vector<char*> argv{const_cast<char*>(VCD2BUILD_PATH)};
    for (auto& arg : args) argv.push_back(arg.data());
    argv.push_back(nullptr);
    execv(VCD2BUILD_PATH, argv.data());
    _exit(127);
  }
  close(out[1]);
  close(err[1]);
  Outcome outcome;
  if (during) during(pid, err[0], outcome.err);
  outcome.out = Drain(out[0]);
  outcome.err += Drain(err[0]);
  int status = 0;
  waitpid(pid, &status, 0);
  outcome.exit_code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return outcome;
}

}  // namespace vcd2::test
