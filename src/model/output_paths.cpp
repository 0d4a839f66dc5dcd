#include "model/output_paths.h"

#include <sys/stat.h>

#include <filesystem>
#include <optional>

#include "base/error_reporter.h"

namespace vcd2 {
namespace {

// Device and inode of an existing file, else its normalised absolute path.
struct FileIdentity {
  bool exists = false;
  bool regular = false;
  dev_t device = 0;
  ino_t inode = 0;
  std::string path;

  bool operator==(const FileIdentity& other) const = default;
};

FileIdentity Identify(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) == 0) {
    return {true, S_ISREG(info.st_mode), info.st_dev, info.st_ino, {}};
  }
  std::error_code error;
  const std::filesystem::path absolute = std::filesystem::absolute(path, error);
  const std::filesystem::path resolved = std::filesystem::weakly_canonical(absolute, error);
  return {false, false, 0, 0, (error ? absolute.lexically_normal() : resolved).string()};
}

void Add(std::vector<FileUse>& uses, const FileRef& file, std::string use) {
  if (std::optional<std::string> path = file.NewFullPath()) {
    uses.push_back({std::move(*path), std::move(use)});
  }
}

template <typename Items>
void AddItems(std::vector<FileUse>& uses, const Items& items, const std::string& statement) {
  for (const auto& item : items) Add(uses, *item, "the source of " + statement + " " + item->label);
}

void AddVolumeFile(std::vector<FileUse>& uses, const CdiFile& file) {
  if (const auto* rtf = dynamic_cast<const RtfFile*>(&file)) {
    for (const auto& part : rtf->parts) Add(uses, *part, "a part of GENRTF " + file.name);
    return;
  }
  const std::string statement = VolumeFileStatement(file.GetFileType());
  Add(uses, file, "the source of " + statement + " " + file.name);
}

std::vector<FileUse> InputFiles(const VcdProject& project) {
  std::vector<FileUse> inputs = {{project.script_path, "the script"}};
  AddItems(inputs, project.mpeg_tracks, "MPGTRACK");
  AddItems(inputs, project.segments, "SEGMENT");
  AddItems(inputs, project.audio_tracks, "DATRACK");
  for (const auto& file : project.cdi_files) AddVolumeFile(inputs, *file);
  for (const auto& file : project.descriptor_files) AddVolumeFile(inputs, *file);
  for (const auto& rule : project.makes) {
    Add(inputs, *rule->GetTarget(), "the target of a MAKE");
    const std::string target = rule->GetTarget()->NewFullPath().value_or("");
    for (const auto& source : rule->GetSources())
      Add(inputs, *source, "a source of MAKE " + target);
  }
  return inputs;
}

Status Refuse(const FileUse& output, const FileUse& other) {
  ReportError("%s (%s) is the same file as %s (%s).", output.use.c_str(), output.path.c_str(),
              other.use.c_str(), other.path.c_str());
  return false;
}

// MPEG rules run first, then MENU, then STILL and MPA in script order, then MUX.
int Pass(const MakeRule& rule) {
  switch (rule.Kind()) {
    case MakeKind::kMpeg:
      return 0;
    case MakeKind::kMenu:
      return 1;
    case MakeKind::kStill:
    case MakeKind::kAudio:
      return 2;
    case MakeKind::kMux:
      return 3;
  }
  return 3;
}

// STILL, MENU and MPA rules make elementary streams from pictures and sounds.
bool IsEncoding(const MakeRule& rule) {
  return rule.Kind() == MakeKind::kStill || rule.Kind() == MakeKind::kAudio ||
         rule.Kind() == MakeKind::kMenu;
}

// The files a target may not be, besides the outputs: what the build reads
// as it was before any rule ran. A rule's target may feed only rules that
// run after it and read MPEG streams and, when it is a system stream,
// MPGTRACK and SEGMENT.
std::vector<FileUse> ForbiddenFor(const VcdProject& project, size_t index) {
  const MakeRule& rule = *project.makes[index];
  std::vector<FileUse> uses = {{project.script_path, "the script"}};
  if (IsEncoding(rule)) {
    AddItems(uses, project.mpeg_tracks, "MPGTRACK");
    AddItems(uses, project.segments, "SEGMENT");
  }
  AddItems(uses, project.audio_tracks, "DATRACK");
  for (const auto& file : project.cdi_files) AddVolumeFile(uses, *file);
  for (const auto& file : project.descriptor_files) AddVolumeFile(uses, *file);
  for (size_t j = 0; j < project.makes.size(); ++j) {
    const MakeRule& other = *project.makes[j];
    const std::string target = other.GetTarget()->NewFullPath().value_or("");
    if (j < index) Add(uses, *other.GetTarget(), "the target of an earlier MAKE");
    const bool runs_before = Pass(other) < Pass(rule) || (Pass(other) == Pass(rule) && j <= index);
    if (!runs_before && !IsEncoding(other)) continue;
    for (const auto& source : other.GetSources()) {
      Add(uses, *source, "a source of MAKE " + target);
    }
  }
  return uses;
}

}  // namespace

Status CheckMakeTargets(const VcdProject& project) {
  for (size_t i = 0; i < project.makes.size(); ++i) {
    const MakeRule& rule = *project.makes[i];
    const std::optional<std::string> path = rule.GetTarget()->NewFullPath();
    if (!path) continue;
    const FileUse target{*path, std::string("the target of MAKE ") + MakeKindName(rule.Kind())};
    const FileIdentity id = Identify(target.path);
    for (const FileUse& use : ForbiddenFor(project, i)) {
      if (Identify(use.path) == id) return Refuse(target, use);
    }
  }
  return true;
}

Status PlanUnnamedOutputs(VcdProject& project, const char* disc_image) {
  if (!project.output_names.empty()) return true;
  if (disc_image == nullptr) {
    ReportError(
        "The script has no OUTPUT block, so the build would write nothing.\r\n"
        "Name the images in OUTPUT ... ENDOUTPUT, or ask for the whole disc as one "
        "image (vcd2build --disc NAME).");
    return false;
  }
  const std::string disc = std::string(disc_image) + ".bin";
  for (size_t i = 0; i <= project.mpeg_tracks.size(); ++i) {
    const std::string path =
        i == 0 ? disc + " (data track)" : disc + " (track " + std::to_string(i + 1) + ")";
    project.output_names.push_back(
        std::make_unique<OutputName>(FileRef(path), static_cast<uint32_t>(i + 1)));
    project.outputs.KeepUnnamed(path);
  }
  return true;
}

std::vector<FileUse> ImageOutputs(const VcdProject& project) {
  std::vector<FileUse> outputs;
  for (const auto& name : project.output_names) {
    if (project.outputs.IsUnnamed(name->NewFullPath().value_or(""))) continue;
    Add(outputs, *name, "OUTPUT " + std::to_string(name->sequence));
  }
  return outputs;
}

Status CheckOutputPaths(const VcdProject& project, const std::vector<FileUse>& outputs) {
  std::vector<FileIdentity> ids;
  for (const FileUse& output : outputs) {
    ids.push_back(Identify(output.path));
    if (ids.back().exists && !ids.back().regular) {  // a device or folder is never replaced
      ReportError("%s (%s) is not a regular file.", output.use.c_str(), output.path.c_str());
      return false;
    }
    for (size_t j = 0; j + 1 < ids.size(); ++j) {
      if (ids[j] == ids.back()) return Refuse(outputs[j], output);
    }
  }
  for (const FileUse& input : InputFiles(project)) {
    const FileIdentity id = Identify(input.path);
    for (size_t i = 0; i < ids.size(); ++i) {
      if (ids[i] == id) return Refuse(outputs[i], input);
    }
  }
  return true;
}

}  // namespace vcd2
