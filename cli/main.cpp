// vcd2build: builds the Video CD images a script describes.
#include <fcntl.h>
#include <pthread.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <string>

#include "graph.h"
#include "inspect.h"
#include "options.h"
#include "quick_path.h"
#include "terminal.h"
#include "vcd2/vcd2.h"
#include "verify.h"

namespace {

constexpr int kUsageExit = 2;

volatile std::sig_atomic_t stop_requested = 0;
Terminal* terminal = nullptr;
bool progress_called = false;
bool message_shown = false;

// Ctrl-C, SIGTERM and SIGHUP ask the build to stop: the library sees the
// flag within a tenth of a second, stops whatever it is doing and removes
// every file it made or staged before it returns. A later signal only waits
// for that, so that no half-made file stays behind.
void OnStopSignal(int /*signal*/) {
  static const char kText[] = "\nvcd2build: stopping at user request\n";
  if (stop_requested != 0) return;
  stop_requested = 1;
  [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kText, sizeof kText - 1);
}

void InstallStopHandlers() {
  struct sigaction action {};
  action.sa_handler = OnStopSignal;
  action.sa_flags = SA_RESTART;
  sigemptyset(&action.sa_mask);
  sigset_t stops;
  sigemptyset(&stops);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    sigaction(signal, &action, nullptr);
    sigaddset(&stops, signal);
  }
  // A parent may have left them blocked; the build thread inherits this mask.
  pthread_sigmask(SIG_UNBLOCK, &stops, nullptr);
}

int32_t OnProgress(int32_t percent, const char* text) {
  progress_called = true;
  if (percent < 0) {
    terminal->ShowStatus(text);
  } else {
    terminal->ShowPercent(percent);
  }
  return stop_requested == 0 ? 1 : 0;
}

void OnSummary(const char* text) {
  terminal->Finish();
  std::fputs(text, stdout);
}

void OnMessage(const char* text) {
  message_shown = true;
  terminal->ShowMessage(text);
}

void OnWarning(const char* text) {
  const std::string line = std::string("warning: ") + text;
  terminal->ShowMessage(line.c_str());
}

void IgnoreWarning(const char* /*text*/) {}

// The library stays silent about a script it cannot open; say why here.
// A FIFO is opened without waiting for a writer.
void ExplainUnopenedScript(const char* script) {
  const int fd = open(script, O_RDONLY | O_NONBLOCK | O_CLOEXEC);
  if (fd >= 0) {
    close(fd);
    return;
  }
  std::fprintf(stderr, "vcd2build: cannot open script '%s': %s\n", script, std::strerror(errno));
}

// --preview writes into DIR, made here when it does not exist yet.
bool PreparePreviewFolder(const std::string& folder) {
  if (mkdir(folder.c_str(), 0777) == 0 || errno == EEXIST) return true;
  std::fprintf(stderr, "vcd2build: cannot make folder '%s': %s\n", folder.c_str(),
               std::strerror(errno));
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  Options options = ParseOptions(argc, argv);
  switch (options.action) {
    case Options::Action::kHelp:
      std::fputs(UsageText(), stdout);
      return 0;
    case Options::Action::kVersion:
      std::printf("vcd2build %s\n", VCD2_VERSION);
      return 0;
    case Options::Action::kUsageError:
      std::fprintf(stderr, "vcd2build: %s; try --help\n", options.error.c_str());
      return kUsageExit;
    case Options::Action::kBuild:
      break;
  }
  QuickPath quick;
  const bool script_or_clips = !options.inspect && !options.verify;
  if (script_or_clips && QuickPath::TakesClips(options)) {
    if (const int status = quick.Prepare(options); status >= 0) return status;
    options.script = quick.ScriptPath();
  } else if (script_or_clips &&
             (!options.title.empty() || options.menu || options.ntsc || options.print_script)) {
    std::fprintf(stderr,
                 "vcd2build: --title, --menu, --ntsc and --print-script are for video "
                 "files, not a script; try --help\n");
    return kUsageExit;
  }
  Terminal display(options.quiet, isatty(STDERR_FILENO) != 0);
  terminal = &display;
  static BuilderCallbacks callbacks{};
  callbacks.stop_request = &stop_requested;
  callbacks.show_message = OnMessage;
  callbacks.show_warning = options.quiet ? IgnoreWarning : OnWarning;
  callbacks.show_summary = options.summary ? OnSummary : nullptr;
  callbacks.disc_image = options.disc.empty() ? nullptr : options.disc.c_str();
  if (options.inspect) return InspectFiles(options.files, callbacks);
  if (options.verify) {
    InstallStopHandlers();
    const int result = VerifyFiles(options.files, callbacks, OnProgress);
    display.Finish();
    return result;
  }
  callbacks.mode = options.check ? VCD2_MODE_CHECK : VCD2_MODE_BUILD;
  if (options.keep_made) callbacks.mode |= VCD2_MODE_KEEP_MADE;
  GraphOutput graph(options.graph);
  if (!options.graph.empty()) callbacks.graph_file = graph.DotPath();
  if (!options.preview.empty()) {
    if (!PreparePreviewFolder(options.preview)) return VCD2_RESULT_FAILED;
    callbacks.preview_folder = options.preview.c_str();
  }
  VCD2SetCallbacks(&callbacks);
  InstallStopHandlers();
  int32_t result = VCD2DiscBuilder(nullptr, options.script.c_str(), OnProgress);
  if (result == VCD2_RESULT_OK && graph.NeedsDrawing() && stop_requested != 0) {
    std::remove(graph.DotPath());  // DOT text under the picture's name
    result = VCD2_RESULT_FAILED;
  } else if (result == VCD2_RESULT_OK && graph.NeedsDrawing()) {
    display.ShowStatus("Drawing graph...");
    display.Finish();  // dot's own messages start on a line of their own
    if (!graph.Draw()) result = VCD2_RESULT_FAILED;
  }
  display.Finish();
  if (result == VCD2_RESULT_FAILED && !progress_called && !message_shown && stop_requested == 0) {
    ExplainUnopenedScript(options.script.c_str());
  }
  return result;
}
