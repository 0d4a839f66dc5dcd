#include "image/iso/iso_volume.h"

#include <algorithm>
#include <cstdio>
#include <filesystem>

#include "base/error_reporter.h"
#include "base/progress.h"
#include "image/iso/host_nodes.h"
#include "image/iso/recording_date.h"
#include "image/iso/volume_descriptor.h"
#include "image/iso/volume_host.h"
#include "image/iso/volume_imager.h"
#include "image/vcd_names.h"
#include "sector/edc.h"
#include "sector/image_output.h"

namespace vcd2 {
namespace {

constexpr uint32_t kLotSize = kLotSectors * kForm1DataSize;

// Reads the data of read files: the host's for nodes it owns, otherwise the
// file named by the source path.
class BuilderFileSource : public FileSource {
 public:
  explicit BuilderFileSource(const VolumeIoTable& host) : host_(host) {}
  ~BuilderFileSource() override { Close(); }

  bool Open(const VolumeFile& file) override {
    Close();
    if (file.node != nullptr && file.node->host_data != 0) {
      host_node_ = file.node;
      return host_.open_file != nullptr && host_.open_file(host_node_) != 0;
    }
    own_ = std::fopen(file.source_path.c_str(), "rb");
    return own_ != nullptr;
  }
  size_t Read(uint8_t* buffer, size_t count) override {
    if (own_ != nullptr) return std::fread(buffer, 1, count, own_);
    if (host_node_ == nullptr || host_.read_file == nullptr) return 0;
    const int32_t read = host_.read_file(buffer, static_cast<uint32_t>(count));
    return read > 0 ? static_cast<size_t>(read) : 0;
  }
  void Close() override {
    if (own_ != nullptr) std::fclose(own_);
    if (host_node_ != nullptr && host_.close_file != nullptr) host_.close_file(host_node_);
    own_ = nullptr;
    host_node_ = nullptr;
  }

 private:
  const VolumeIoTable& host_;
  std::FILE* own_ = nullptr;
  VolumeImagerNode* host_node_ = nullptr;
};

VolumeFile Placed(std::string name, uint32_t first_sector, uint32_t size, uint16_t attributes,
                  uint8_t file_number) {
  return {std::move(name), VCD2_NODE_PLACED_FILE, first_sector, size,
          attributes,      file_number,           {},           nullptr};
}

VolumeFile Read(std::string name, uint32_t size, std::string source) {
  return {std::move(name), VCD2_NODE_READ_FILE, 0, size, xa::kForm1File, 1, std::move(source),
          nullptr};
}

// The Video CD directories in the order their nodes are made.
std::vector<VolumeDirectory> VideoCdDirectories(VcdProject& project) {
  const bool psd = project.has_psd != 0;
  std::vector<VolumeDirectory> directories;
  if (!project.cdi_files.empty()) {
    VolumeDirectory& cdi = directories.emplace_back(VolumeDirectory{"CDI", {}});
    for (const auto& file : project.cdi_files) {
      cdi.files.push_back(
          Placed(file->name.substr(0, file->name.rfind(';')), 0, 0, xa::kForm1File, 1));
    }
  }
  VolumeDirectory& ext = directories.emplace_back(VolumeDirectory{"EXT", {}});
  if (psd) {
    ext.files.push_back(Read("LOT_X.VCD", kLotSize, project.lot_temp_path));
    ext.files.push_back(
        Read("PSD_X.VCD", project.extended_psd_size * kPsdOffsetUnit, project.psd_temp_path));
  }
  VolumeDirectory& vcd = directories.emplace_back(VolumeDirectory{"VCD", {}});
  vcd.files.push_back(Placed("INFO.VCD", kInfoLba, kForm1DataSize, xa::kForm1File, 0));
  vcd.files.push_back(Placed("ENTRIES.VCD", kEntriesLba, kForm1DataSize, xa::kForm1File, 0));
  if (psd) {
    vcd.files.push_back(Placed("LOT.VCD", kLotLba, kLotSize, xa::kForm1File, 0));
    vcd.files.push_back(Placed("PSD.VCD", kPsdLba, 0, xa::kForm1File, 0));
  }
  VolumeDirectory& segment = directories.emplace_back(VolumeDirectory{"SEGMENT", {}});
  for (const auto& item : project.segments) {
    segment.files.push_back(Placed(SegmentFileName(item->position + 1), 0,
                                   item->sector_count * kForm1DataSize, xa::kForm2File, 1));
  }
  VolumeDirectory& mpegav = directories.emplace_back(VolumeDirectory{"MPEGAV", {}});
  unsigned number = 1;
  for (const auto& track : project.mpeg_tracks) {
    mpegav.files.push_back(Placed(MpegTrackFileName(number), 0,
                                  (track->sector_count + 75) * kForm1DataSize, xa::kForm2File,
                                  static_cast<uint8_t>(number)));
    ++number;
  }
  if (!project.audio_tracks.empty()) {
    VolumeDirectory& cdda = directories.emplace_back(VolumeDirectory{"CDDA", {}});
    for (size_t i = 0; i < project.audio_tracks.size(); ++i) {
      cdda.files.push_back(Placed(AudioTrackFileName(++number), 0, 0, xa::kCdDaFile, 0));
    }
  }
  return directories;
}

// The root files, each given its identifier role in the descriptor.
bool AddRootFiles(VcdProject& project, VolumeImager& imager, VolumeTree& tree) {
  for (const auto& file : project.descriptor_files) {
    // A version given with the name is cut off: the record adds its own.
    const std::string name = file->name.substr(0, file->name.rfind(';'));
    switch (file->GetFileType()) {
      case FileType::kCopyright:
        imager.SetCopyrightFileIdentifier(name);
        break;
      case FileType::kVolumeSet:
        imager.SetVolumeSetIdentifier(name);
        break;
      case FileType::kBiblio:
        imager.SetBibliographicFileIdentifier(name);
        break;
      case FileType::kAbstract:
        imager.SetAbstractFileIdentifier(name);
        break;
      default:
        ReportError("Illegal Root file type.");
        return false;
    }
    const std::string path = file->NewFullPath().value_or("");
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    tree.root_files.push_back(Read(name, error ? 0 : static_cast<uint32_t>(size), path));
  }
  return true;
}

void SetIdentifiers(const VcdProject& project, VolumeImager& imager) {
  imager.SetVolumeSetSize(project.volume_count);
  imager.SetVolumeSequenceNumber(project.volume_number);
  imager.SetSystemIdentifier("CD-RTOS CD-BRIDGE");
  // Without ALBUM the identifier is empty, and so all blanks.
  const auto& album = project.album_id;
  imager.SetVolumeIdentifier(
      std::string(album.begin(), std::find(album.begin(), album.end(), '\0')));
  imager.SetApplicationIdentifier("CDI/" + std::string(project.application_name.data()) + ";1");
  const uint32_t psd_sectors =
      (project.psd_size * kPsdOffsetUnit + kForm1DataSize - 1) / kForm1DataSize;
  imager.SetReservedEnd(project.has_psd != 0 ? kPsdLba + psd_sectors : kLotLba);
}

// The 150 pregap sectors: empty Form 2 sectors whose EDC is computed once.
Status WritePregap(ImageOutput& output) {
  RawSector sector{};
  SetSubheader(sector, {0, 0, submode::kForm2, 0});
  ComputeEdc(sector.data() + kSubheaderOffset);
  for (int32_t lba = -kPregapSectors; lba < 0; ++lba) {
    if (!output.AppendPrepared(sector, lba)) return false;
  }
  return true;
}

// Mirrors the tree into the host's nodes and records their handles.
void MirrorToHost(VolumeTree& tree, HostNodes& nodes) {
  for (auto& file : tree.root_files) file.node = nodes.AddFile(file, nullptr, tree.date);
  for (auto& directory : tree.directories) {
    VolumeImagerNode* handle = nodes.AddDirectory(directory.name, tree.date);
    for (auto& file : directory.files) file.node = nodes.AddFile(file, handle, tree.date);
  }
}

Status WriteVolume(VcdProject& project, ImageOutput& output, uint32_t& sectors) {
  VolumeImager imager;
  VolumeTree tree;
  tree.date = CurrentRecordingDate();
  SetIdentifiers(project, imager);
  if (!AddRootFiles(project, imager, tree)) return false;
  tree.directories = VideoCdDirectories(project);
  HostNodes nodes(CurrentVolumeHost().callbacks, project.volume_number);
  MirrorToHost(tree, nodes);
  BuilderFileSource source(CurrentVolumeHost().io);
  imager.SetIo(output, source);
  const int tree_error = imager.SetTree(std::move(tree));
  if (tree_error != VolumeImager::kOk) {
    ReportError("Could not create VCD directory structure (%d).", tree_error);
    return false;
  }
  const int write_error = imager.WriteVolume();
  sectors = imager.SectorCount();
  if (write_error != VolumeImager::kOk || sectors == 0) {
    ReportError("Could not write VCD directory structure (%d).", write_error);
    return false;
  }
  return true;
}

}  // namespace

Status BuildIsoVolume(VcdProject& project) {
  const std::string name = project.output_names.front()->NewFullPath().value_or("");
  project.image_file_name = project.outputs.Create(name);
  SetProgressRange(0, 100);
  ImageOutput output;
  output.Open(project.image_file_name, name);
  if (!WritePregap(output)) return false;
  uint32_t sectors = 0;
  const bool written = static_cast<bool>(WriteVolume(project, output, sectors));
  if (!output.Close() || !written) return false;
  project.next_free_address = sectors;
  return true;
}

}  // namespace vcd2
