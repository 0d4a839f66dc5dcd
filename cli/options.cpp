#include "options.h"

#include <cstring>

#include "graph.h"

const char* UsageText() {
  return "Usage: vcd2build [--quiet] [--disc NAME | --graph FILE | --check] SCRIPT\n"
         "       vcd2build --inspect FILE...\n"
         "Builds the Video CD images that SCRIPT describes and prints a summary.\n"
         "\n"
         "  -q, --quiet      show no progress, only errors\n"
         "  -d, --disc NAME  also write the whole disc as NAME.bin with NAME.cue and a\n"
         "                   cdrdao NAME.toc, to burn or to open\n"
         "      --graph FILE\n"
         "                   draw the playback control as FILE (.dot, .svg or .png)\n"
         "                   instead of building\n"
         "      --check      check the script and its sources, show the warnings and\n"
         "                   what a build would write; write nothing\n"
         "      --inspect    tell for each MPEG FILE what a Video CD needs, what the\n"
         "                   file has and how to fix it; 0 when all are compliant\n"
         "  -h, --help       show this help and exit\n"
         "      --version    show the version and exit\n"
         "\n"
         "Exit status: 0 success, 1 the build failed or was stopped, 2 bad usage,\n"
         "3 out of memory, 4 a file error.\n";
}

namespace {

// With --inspect every operand is an MPEG file and nothing is built.
Options InspectOptions(Options options) {
  if (!options.script.empty()) options.files.insert(options.files.begin(), options.script);
  options.script.clear();
  if (options.files.empty()) {
    options.action = Options::Action::kUsageError;
    options.error = "--inspect needs MPEG files";
  } else if (options.check || !options.graph.empty() || !options.disc.empty()) {
    options.action = Options::Action::kUsageError;
    options.error = "--inspect builds nothing; leave out --check, --disc and --graph";
  }
  return options;
}

}  // namespace

Options ParseOptions(int argc, char** argv) {
  Options options;
  bool only_operands = false;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    if (!only_operands && std::strcmp(arg, "--") == 0) {
      only_operands = true;
    } else if (!only_operands && (!std::strcmp(arg, "-h") || !std::strcmp(arg, "--help"))) {
      options.action = Options::Action::kHelp;
      return options;
    } else if (!only_operands && !std::strcmp(arg, "--version")) {
      options.action = Options::Action::kVersion;
      return options;
    } else if (!only_operands && (!std::strcmp(arg, "-q") || !std::strcmp(arg, "--quiet"))) {
      options.quiet = true;
    } else if (!only_operands && (!std::strcmp(arg, "-d") || !std::strcmp(arg, "--disc"))) {
      if (i + 1 == argc || argv[i + 1][0] == '\0') {
        options.action = Options::Action::kUsageError;
        options.error = std::string("option '") + arg + "' needs a name";
        return options;
      }
      options.disc = argv[++i];
    } else if (!only_operands && !std::strcmp(arg, "--graph")) {
      if (i + 1 == argc || GraphFormat(argv[i + 1]) == nullptr) {
        options.action = Options::Action::kUsageError;
        options.error = "option '--graph' needs a file name ending in .dot, .svg or .png";
        return options;
      }
      options.graph = argv[++i];
    } else if (!only_operands && !std::strcmp(arg, "--check")) {
      options.check = true;
    } else if (!only_operands && !std::strcmp(arg, "--inspect")) {
      options.inspect = true;
    } else if (!only_operands && arg[0] == '-' && arg[1] != '\0') {
      options.action = Options::Action::kUsageError;
      options.error = std::string("unknown option '") + arg + "'";
      return options;
    } else if (options.script.empty()) {
      options.script = arg;
    } else {
      options.files.push_back(arg);
    }
  }
  if (options.inspect) return InspectOptions(options);
  if (!options.files.empty()) {
    options.action = Options::Action::kUsageError;
    options.error = "more than one script given";
    return options;
  }
  if (options.script.empty()) {
    options.action = Options::Action::kUsageError;
    options.error = "no script given";
  } else if (!options.graph.empty() && !options.disc.empty()) {
    options.action = Options::Action::kUsageError;
    options.error = "--graph builds no disc; leave out --disc";
  } else if (options.check && (!options.graph.empty() || !options.disc.empty())) {
    options.action = Options::Action::kUsageError;
    options.error = "--check writes nothing; leave out --disc and --graph";
  }
  return options;
}
