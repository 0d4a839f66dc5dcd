#include "driver/build_thread.h"

#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "base/error_reporter.h"
#include "base/file_error.h"
#include "base/progress.h"
#include "base/unique_file.h"
#include "driver/check_script.h"
#include "driver/host_tables.h"
#include "driver/inspect_stream.h"
#include "driver/verify_images.h"
#include "driver/whole_input.h"
#include "image/build_image.h"
#include "image/build_summary.h"
#include "image/disc_export.h"
#include "image/psd_graph.h"
#include "image/video_standards.h"
#include "make/menu/make_menu.h"
#include "make/perform_makes.h"
#include "model/check_labels.h"
#include "model/output_paths.h"
#include "model/sort_items.h"
#include "model/vcd_project.h"
#include "script/script_parser.h"
#include "vcd2/vcd2.h"

namespace vcd2 {
namespace {

uintptr_t RequestedMode() {
  const BuilderCallbacks* host = RegisteredHostTables().callbacks;
  return host != nullptr ? host->mode & ~uintptr_t{VCD2_MODE_KEEP_MADE}
                         : uintptr_t{VCD2_MODE_BUILD};
}

// The host may keep what MAKE made instead of having it deleted with the
// project.
void KeepMadeFilesIfAsked(VcdProject& project) {
  const BuilderCallbacks* host = RegisteredHostTables().callbacks;
  if (host == nullptr || (host->mode & VCD2_MODE_KEEP_MADE) == 0) return;
  for (auto& made : project.made_files) made->Keep();
}

// What the host asked for besides the images: the whole disc as one image.
// The outputs get their names only after that, and only when no stop was
// asked for meanwhile; then the summary. A check stops short of the files.
bool FinishDisc(VcdProject& project) {
  const BuilderCallbacks* host = RegisteredHostTables().callbacks;
  if (host != nullptr && host->disc_image != nullptr && !project.output_names.empty() &&
      RequestedMode() != VCD2_MODE_CHECK) {
    ShowStatus("Writing disc image...");
    if (!ExportDisc(project, host->disc_image)) return false;
  }
  // Measured before the outputs are named: a check's data image vanishes then.
  const bool shown =
      host != nullptr && host->show_summary != nullptr && !project.output_names.empty();
  const std::string summary = shown ? BuildSummary(project) : "";
  if (AbortRequested() || !project.outputs.Commit()) return false;
  if (shown) host->show_summary(summary.c_str());
  return true;
}

// The whole-disc files the host asked for, written only with OUTPUT names.
std::vector<FileUse> DiscOutputs(const VcdProject& project) {
  const BuilderCallbacks* host = RegisteredHostTables().callbacks;
  if (host == nullptr || host->disc_image == nullptr || project.output_names.empty()) return {};
  const std::string name = host->disc_image;
  return {{DiscFilePath(name, DiscFile::kImage), "the disc image"},
          {DiscFilePath(name, DiscFile::kCueSheet), "the disc's cue sheet"},
          {DiscFilePath(name, DiscFile::kToc), "the disc's TOC file"}};
}

// A graph request ends the build after the label check: the graph is its
// only output.
const char* RequestedGraph() {
  const BuilderCallbacks* host = RegisteredHostTables().callbacks;
  return host != nullptr ? host->graph_file : nullptr;
}

// A preview request, like a graph, ends the build after the label check.
const char* RequestedPreview() {
  const BuilderCallbacks* host = RegisteredHostTables().callbacks;
  return host != nullptr ? host->preview_folder : nullptr;
}

// The five phases; each runs only when the one before succeeded. Outputs are
// checked against the inputs before the first file is written.
int32_t RunPhases(VcdProject& project, UniqueFile& script) {
  ShowStatus("Parsing script...");
  const bool parsed = ParseScript(project);
  project.script_file = nullptr;
  script.reset();
  if (!parsed) {
    ReportError("Parser reported an error.");  // still carries the script prefix
    Reporter().SetScriptName("");
    return VCD2_RESULT_FAILED;
  }
  Reporter().SetScriptName("");
  ShowStatus("Sorting items...");
  if (!SortItems(project)) return VCD2_RESULT_FAILED;
  ShowStatus("Checking labels...");
  if (!CheckLabels(project)) return VCD2_RESULT_FAILED;
  WarnUnreachable(project);
  if (const char* graph = RequestedGraph()) {
    if (!CheckOutputPaths(project, {{graph, "the graph"}})) return VCD2_RESULT_FAILED;
    ShowStatus("Writing graph...");
    return WritePsdGraph(project, graph) ? VCD2_RESULT_OK : VCD2_RESULT_FAILED;
  }
  if (const char* folder = RequestedPreview()) {
    ShowStatus("Drawing menus...");
    return WriteMenuPreviews(project, folder) ? VCD2_RESULT_OK : VCD2_RESULT_FAILED;
  }
  const BuilderCallbacks* host = RegisteredHostTables().callbacks;
  if (!PlanUnnamedOutputs(project, host != nullptr ? host->disc_image : nullptr)) {
    return VCD2_RESULT_FAILED;
  }
  std::vector<FileUse> outputs = ImageOutputs(project);
  for (FileUse& disc_file : DiscOutputs(project)) outputs.push_back(std::move(disc_file));
  if (!CheckOutputPaths(project, outputs) || !CheckMakeTargets(project)) return VCD2_RESULT_FAILED;
  if (RequestedMode() == VCD2_MODE_CHECK) {
    const CheckStart start = StartCheck(project);
    if (start != CheckStart::kBuild) {
      return start == CheckStart::kDone ? VCD2_RESULT_OK : VCD2_RESULT_FAILED;
    }
  } else {
    ShowStatus("Performing makes...");
    if (!PerformMakes(project)) return VCD2_RESULT_FAILED;
  }
  ShowStatus("Building image...");
  if (!BuildImage(project)) return VCD2_RESULT_FAILED;
  WarnDiscLength(project);
  WarnMixedStandards(project);
  return FinishDisc(project) ? VCD2_RESULT_OK : VCD2_RESULT_FAILED;
}

}  // namespace

int32_t BuildThread(const std::string& script_path) {
  if (RequestedMode() == VCD2_MODE_INSPECT) return InspectStream(script_path);
  if (RequestedMode() == VCD2_MODE_VERIFY) return VerifyImages(script_path);
  if (RequestedMode() != VCD2_MODE_BUILD && RequestedMode() != VCD2_MODE_CHECK) {
    ReportError("Unknown build mode %ju.", static_cast<uintmax_t>(RequestedMode()));
    return VCD2_RESULT_FAILED;
  }
  UniqueFile script = OpenInputStream(script_path, "a script", false);
  if (!script) return VCD2_RESULT_FAILED;  // silent: the host tells the user
  std::unique_ptr<VcdProject> project;
  int32_t result = VCD2_RESULT_FAILED;
  try {
    project = std::make_unique<VcdProject>();
    project->script_path = script_path;
    project->script_file = script.get();
    project->parse_enabled = 1;
    result = RunPhases(*project, script);
  } catch (const std::bad_alloc&) {
    ReportError("A memory error occured.");
    result = VCD2_RESULT_MEMORY_ERROR;
  } catch (const FileError&) {
    ReportError("A file error occured.");
    result = VCD2_RESULT_FILE_ERROR;
  } catch (const std::exception& error) {
    ReportError("An unexpected error occured: %s", error.what());
    result = VCD2_RESULT_FAILED;
  }
  if (project) KeepMadeFilesIfAsked(*project);
  project.reset();  // removes its temporary folder and the files MAKE produced
  return result;
}

}  // namespace vcd2
