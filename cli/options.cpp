#include "options.h"

#include <getopt.h>

#include <string>

#include "graph.h"

const char* UsageText() {
  return "Usage: vcd2build [-q] [--summary] [--check] [--disc NAME] SCRIPT\n"
         "       vcd2build --graph FILE SCRIPT\n"
         "       vcd2build --preview DIR SCRIPT\n"
         "       vcd2build --disc NAME [--title TEXT] [--menu] [--ntsc] [--print-script]\n"
         "                 FILE...\n"
         "       vcd2build --inspect FILE...\n"
         "       vcd2build --verify DISC.cue | --verify DATA [TRACK...]\n"
         "Builds the Video CD images that SCRIPT describes and prints a summary.\n"
         "Given video FILEs instead, builds the disc NAME.bin with one track per FILE.\n"
         "\n"
         "  -q, --quiet      print nothing unless the build fails: no progress, no\n"
         "                   warnings, no summary\n"
         "  -s, --summary    print the summary even with --quiet\n"
         "  -d, --disc NAME  also write the whole disc as NAME.bin with NAME.cue and a\n"
         "                   cdrdao NAME.toc, to burn or to open\n"
         "      --graph FILE\n"
         "                   draw the playback control as FILE (.dot, .svg or .png)\n"
         "                   instead of building\n"
         "      --preview DIR\n"
         "                   write each MAKE MENU picture into DIR as PNG instead of\n"
         "                   building\n"
         "      --check      check the script and its sources, show the warnings and\n"
         "                   what a build would write; write nothing\n"
         "      --inspect    tell for each MPEG FILE what a Video CD needs, what the\n"
         "                   file has and how to fix it; 0 when all are compliant\n"
         "      --keep-made  keep the stills, audio and streams MAKE made, for a look\n"
         "                   and for the next build to reuse\n"
         "      --verify     read a disc back, a cue sheet or the images of one build,\n"
         "                   and name every fault with its place; 0 when none\n"
         "      --title TEXT the disc's album (cut to 16 characters) and menu title\n"
         "      --menu       a menu that plays each FILE, made as a still\n"
         "      --ntsc       make NTSC tracks (else those of the first compliant FILE,\n"
         "                   or PAL); converted tracks are kept in NAME.vcd2/\n"
         "      --print-script\n"
         "                   print the script that the FILEs give and build nothing\n"
         "  -h, --help       show this help and exit\n"
         "  -V, --version    show the version and exit\n"
         "\n"
         "Exit status: 0 success, 1 the build failed or was stopped, 2 bad usage,\n"
         "3 out of memory, 4 a file error.\n";
}

namespace {

enum LongOnly {
  kGraph = 256,
  kCheck,
  kInspect,
  kKeepMade,
  kVerify,
  kTitle,
  kMenu,
  kNtsc,
  kPrintScript,
  kPreview = 300
};

constexpr option kLongOptions[] = {{"quiet", no_argument, nullptr, 'q'},
                                   {"summary", no_argument, nullptr, 's'},
                                   {"disc", required_argument, nullptr, 'd'},
                                   {"graph", required_argument, nullptr, kGraph},
                                   {"check", no_argument, nullptr, kCheck},
                                   {"inspect", no_argument, nullptr, kInspect},
                                   {"preview", required_argument, nullptr, kPreview},
                                   {"keep-made", no_argument, nullptr, kKeepMade},
                                   {"verify", no_argument, nullptr, kVerify},
                                   {"title", required_argument, nullptr, kTitle},
                                   {"menu", no_argument, nullptr, kMenu},
                                   {"ntsc", no_argument, nullptr, kNtsc},
                                   {"print-script", no_argument, nullptr, kPrintScript},
                                   {"help", no_argument, nullptr, 'h'},
                                   {"version", no_argument, nullptr, 'V'},
                                   {nullptr, 0, nullptr, 0}};

Options UsageError(std::string error) {
  Options options;
  options.action = Options::Action::kUsageError;
  options.error = std::move(error);
  return options;
}

// What getopt_long refused: an unknown option as the user wrote it, or an
// option without its value.
Options Refused(char** argv, int code) {
  if (code == ':' && optopt == kPreview) return UsageError("option '--preview' needs a folder");
  if (code == ':') {
    if (optopt == kTitle) return UsageError("option '--title' needs a text");
    return UsageError(optopt == 'd'
                          ? "option '--disc' needs a name"
                          : "option '--graph' needs a file name ending in .dot, .svg or .png");
  }
  if (optopt != 0)
    return UsageError(std::string("unknown option '-") + static_cast<char>(optopt) + "'");
  const std::string word = argv[optind - 1];
  return UsageError("unknown option '" + word.substr(0, word.find('=')) + "'");
}

// With --inspect every operand is an MPEG file and nothing is built.
Options InspectOptions(Options options) {
  if (options.files.empty()) return UsageError("--inspect needs MPEG files");
  if (options.check || !options.graph.empty() || !options.disc.empty()) {
    return UsageError("--inspect builds nothing; leave out --check, --disc and --graph");
  }
  return options;
}

// With --verify the operands are a cue sheet or a build's images.
Options VerifyOptions(Options options) {
  if (options.files.empty()) return UsageError("--verify needs a cue sheet or image files");
  if (options.inspect || options.check || !options.graph.empty() || !options.disc.empty()) {
    return UsageError("--verify writes nothing; leave out --inspect, --check, --disc and --graph");
  }
  return options;
}

}  // namespace

Options ParseOptions(int argc, char** argv) {
  Options options;
  bool summary = false;
  optind = 0;  // a full reset, so that tests may parse more than once
  opterr = 0;
  for (int code; (code = getopt_long(argc, argv, "+:qsd:hV", kLongOptions, nullptr)) != -1;) {
    switch (code) {
      case 'q':
        options.quiet = true;
        break;
      case 's':
        summary = true;
        break;
      case 'd':
        if (optarg[0] == '\0') return UsageError("option '--disc' needs a name");
        options.disc = optarg;
        break;
      case kGraph:
        if (GraphFormat(optarg) == nullptr) {
          return UsageError("option '--graph' needs a file name ending in .dot, .svg or .png");
        }
        options.graph = optarg;
        break;
      case kCheck:
        options.check = true;
        break;
      case kInspect:
        options.inspect = true;
        break;
      case kPreview:
        if (optarg[0] == '\0') return UsageError("option '--preview' needs a folder");
        options.preview = optarg;
        break;
      case kKeepMade:
        options.keep_made = true;
        break;
      case kVerify:
        options.verify = true;
        break;
      case kTitle:
        options.title = optarg;
        break;
      case kMenu:
        options.menu = true;
        break;
      case kNtsc:
        options.ntsc = true;
        break;
      case kPrintScript:
        options.print_script = true;
        break;
      case 'h':
        options.action = Options::Action::kHelp;
        return options;
      case 'V':
        options.action = Options::Action::kVersion;
        return options;
      default:
        return Refused(argv, code);
    }
  }
  options.summary = summary || !options.quiet;
  if (options.verify) {
    options.files.assign(argv + optind, argv + argc);
    return VerifyOptions(options);
  }
  if (options.inspect) {
    options.files.assign(argv + optind, argv + argc);
    return InspectOptions(options);
  }
  if (optind == argc) return UsageError("no script given");
  options.files.assign(argv + optind, argv + argc);  // clips, when they are no script
  if (optind + 1 == argc) options.script = argv[optind];
  if (!options.graph.empty() && !options.disc.empty()) {
    return UsageError("--graph builds no disc; leave out --disc");
  }
  if (options.check && !options.graph.empty()) {
    return UsageError("--check writes nothing; leave out --graph");
  }
  if (!options.preview.empty() &&
      (options.check || !options.graph.empty() || !options.disc.empty())) {
    return UsageError("--preview builds nothing; leave out --check, --disc and --graph");
  }
  return options;
}
