#include "driver/whole_input.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "base/error_reporter.h"
#include "base/progress.h"

namespace vcd2 {
namespace {

constexpr int kPollMilliseconds = 20;

const char* KindOf(mode_t mode) {
  if (S_ISFIFO(mode)) return "a FIFO or pipe";
  if (S_ISSOCK(mode)) return "a socket";
  return "a device";
}

// A stream that polls its descriptor, so that it never blocks longer than a
// poll: a stop request ends it, and so does a first byte that is late.
struct WaitingStream {
  int fd;
  std::string path;
  const char* kind;
  std::chrono::steady_clock::time_point opened = std::chrono::steady_clock::now();
  bool any = false;
};

ssize_t ReadWaiting(void* cookie, char* buffer, size_t size) {
  auto& stream = *static_cast<WaitingStream*>(cookie);
  for (;;) {
    if (AbortRequested()) return 0;
    pollfd readable{stream.fd, POLLIN, 0};
    const int ready = poll(&readable, 1, kPollMilliseconds);
    if (ready < 0 && errno != EINTR) return -1;
    if (ready <= 0) {
      if (!stream.any && std::chrono::steady_clock::now() - stream.opened >
                             std::chrono::seconds(kFirstByteWaitSeconds)) {
        ReportError("Nothing came from %s (%s) within %d seconds.", stream.path.c_str(),
                    stream.kind, kFirstByteWaitSeconds);
        RequestAbort();  // the reader takes the end for the file's own
        return 0;
      }
      continue;
    }
    const ssize_t got = read(stream.fd, buffer, size);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) continue;
    stream.any = stream.any || got > 0;
    return got;
  }
}

int CloseWaiting(void* cookie) {
  auto* stream = static_cast<WaitingStream*>(cookie);
  const int result = close(stream->fd);
  delete stream;
  return result;
}

// An unnamed file in the temporary folder, read and written by one stream.
UniqueFile UnnamedFile() {
  const char* folder = std::getenv("TMPDIR");
  const int fd = open(folder != nullptr && *folder != '\0' ? folder : "/tmp",
                      O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
  if (fd < 0) return UniqueFile(std::tmpfile());
  UniqueFile file(fdopen(fd, "w+b"));
  if (!file) close(fd);
  return file;
}

}  // namespace

UniqueFile OpenInputStream(const std::string& path, const char* what, bool report_unopened) {
  const int fd = open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  struct stat info {};
  if (fd < 0 || fstat(fd, &info) != 0) {
    if (fd >= 0) close(fd);
    if (report_unopened) ReportError("%s cannot be read.", path.c_str());
    return nullptr;
  }
  if (S_ISDIR(info.st_mode)) {
    close(fd);
    ReportError("%s is a folder, not %s.", path.c_str(), what);
    return nullptr;
  }
  if (S_ISREG(info.st_mode)) {
    close(fd);
    return UniqueFile(std::fopen(path.c_str(), "rb"));
  }
  auto* stream = new WaitingStream{fd, path, KindOf(info.st_mode)};
  UniqueFile file(fopencookie(stream, "rb", {ReadWaiting, nullptr, nullptr, CloseWaiting}));
  if (!file) CloseWaiting(stream);
  return file;
}

UniqueFile OpenWholeInput(const std::string& path, const char* what, uint64_t limit) {
  UniqueFile input = OpenInputStream(path, what, true);
  struct stat info {};
  if (!input || fstat(fileno(input.get()), &info) == 0) return input;  // a regular file
  UniqueFile copy = UnnamedFile();
  std::array<char, 65536> buffer{};
  uint64_t copied = 0;
  for (size_t got; copy && copied <= limit &&
                   (got = std::fread(buffer.data(), 1, buffer.size(), input.get())) > 0;
       copied += got) {
    if (std::fwrite(buffer.data(), 1, got, copy.get()) != got) copy.reset();
  }
  if (!copy || std::fflush(copy.get()) != 0 || fseeko(copy.get(), 0, SEEK_SET) != 0) {
    ReportError("Could not keep what came from %s: %s", path.c_str(), std::strerror(errno));
    return nullptr;
  }
  if (AbortRequested()) return nullptr;
  return copy;
}

std::string PathOfOpenFile(std::FILE* file) {
  return "/proc/self/fd/" + std::to_string(fileno(file));
}

}  // namespace vcd2
