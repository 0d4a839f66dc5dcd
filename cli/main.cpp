// vcd2build: builds the Video CD images a script describes.
#include <pthread.h>
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

namespace {

constexpr int kUsageExit = 2;

volatile std::sig_atomic_t stop_requested = 0;
Terminal* terminal = nullptr;
bool progress_called = false;
bool message_shown = false;

// The first Ctrl-C asks the build to stop at its next progress call; a
// second one ends the program at once.
void OnInterrupt(int /*signal*/) {
  static const char kText[] = "\nvcd2build: stopping at user request\n";
  stop_requested = 1;
  [[maybe_unused]] const ssize_t written = write(STDERR_FILENO, kText, sizeof kText - 1);
}

void InstallInterruptHandler() {
  struct sigaction action {};
  action.sa_handler = OnInterrupt;
  action.sa_flags = SA_RESETHAND;
  sigemptyset(&action.sa_mask);
  sigaction(SIGINT, &action, nullptr);
  // A parent may have left SIGINT blocked; the build thread inherits this mask.
  sigset_t interrupt;
  sigemptyset(&interrupt);
  sigaddset(&interrupt, SIGINT);
  pthread_sigmask(SIG_UNBLOCK, &interrupt, nullptr);
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
void ExplainUnopenedScript(const char* script) {
  std::FILE* file = std::fopen(script, "rb");
  if (file != nullptr) {
    std::fclose(file);
    return;
  }
  std::fprintf(stderr, "vcd2build: cannot open script '%s': %s\n", script, std::strerror(errno));
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
  if (!options.inspect && QuickPath::TakesClips(options)) {
    if (const int status = quick.Prepare(options); status >= 0) return status;
    options.script = quick.ScriptPath();
  } else if (!options.inspect &&
             (!options.title.empty() || options.menu || options.ntsc || options.print_script)) {
    std::fprintf(stderr,
                 "vcd2build: --title, --menu, --ntsc and --print-script are for video "
                 "files, not a script; try --help\n");
    return kUsageExit;
  }
  Terminal display(options.quiet, isatty(STDERR_FILENO) != 0);
  terminal = &display;
  static BuilderCallbacks callbacks{};
  callbacks.show_message = OnMessage;
  callbacks.show_warning = options.quiet ? IgnoreWarning : OnWarning;
  callbacks.show_summary = options.summary ? OnSummary : nullptr;
  callbacks.disc_image = options.disc.empty() ? nullptr : options.disc.c_str();
  if (options.inspect) return InspectFiles(options.files, callbacks);
  callbacks.mode = options.check ? VCD2_MODE_CHECK : VCD2_MODE_BUILD;
  GraphOutput graph(options.graph);
  if (!options.graph.empty()) {
    if (!graph.Prepare()) return VCD2_RESULT_FAILED;
    callbacks.graph_file = graph.DotPath();
  }
  VCD2SetCallbacks(&callbacks);
  InstallInterruptHandler();
  int32_t result = VCD2DiscBuilder(nullptr, options.script.c_str(), OnProgress);
  if (result == VCD2_RESULT_OK && graph.NeedsDrawing()) {
    display.ShowStatus("Drawing graph...");
    display.Finish();  // dot's own messages start on a line of their own
    if (!graph.Draw()) result = VCD2_RESULT_FAILED;
  }
  display.Finish();
  if (result == VCD2_RESULT_FAILED && !progress_called && !message_shown) {
    ExplainUnopenedScript(options.script.c_str());
  }
  return result;
}
