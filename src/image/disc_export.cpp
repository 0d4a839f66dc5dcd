#include "image/disc_export.h"

#include <fcntl.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <vector>

#include "base/error_reporter.h"
#include "base/file_error.h"
#include "base/progress.h"
#include "base/unique_file.h"
#include "image/gap_sectors.h"
#include "sector/sector.h"

namespace vcd2 {
namespace {

constexpr size_t kCopySectors = 446;  // about 1 MiB per read and write

std::string Msf(int64_t sectors) {
  char text[16];
  std::snprintf(text, sizeof text, "%02u:%02u:%02u",
                static_cast<unsigned>(sectors / kSectorsPerMinute),
                static_cast<unsigned>(sectors / kSectorsPerSecond % 60),
                static_cast<unsigned>(sectors % kSectorsPerSecond));
  return text;
}

// Opens an image to copy; one that is never named is opened for writing
// too, so that what has been copied can be freed.
UniqueFile OpenImage(const std::string& path, bool release) {
  if (!release) return UniqueFile(std::fopen(path.c_str(), "rb"));
  const int fd = open(path.c_str(), O_RDWR | O_CLOEXEC);
  if (fd < 0) return UniqueFile(nullptr);
  UniqueFile file(fdopen(fd, "rb"));
  if (!file) close(fd);
  return file;
}

// Copies the sectors of an image from first_sector on to the disc image,
// rewriting each header to its disc address, and shows how far the disc has
// come (the host may stop it there).
class DiscWriter {
 public:
  DiscWriter(std::FILE* out, int32_t total) : out_(out) { SetProgressRange(0, total); }

  int32_t Next() const { return next_; }

  // release: the image is not kept, so each copied piece is freed at once
  // (a hole punched into it) and the disc takes its size on disk only once.
  Status CopyImage(const std::string& path, int64_t first_sector, bool release) {
    const UniqueFile in = OpenImage(path, release);
    off_t offset = first_sector * static_cast<off_t>(kRawSectorSize);
    if (!in || fseeko(in.get(), offset, SEEK_SET) != 0) {
      ReportError("Could not read file %s", path.c_str());
      return false;
    }
    std::vector<uint8_t> buffer(kCopySectors * kRawSectorSize);
    for (size_t read;
         (read = std::fread(buffer.data(), kRawSectorSize, kCopySectors, in.get())) > 0;) {
      for (size_t i = 0; i < read; ++i) {
        StoreDiscTime(buffer.data() + i * kRawSectorSize + kHeaderOffset, next_++);
      }
      if (!Put(buffer.data(), read * kRawSectorSize)) return false;
      const auto length = static_cast<off_t>(read * kRawSectorSize);
      if (release) {  // where holes cannot be punched, the file is freed at the end
        fallocate(fileno(in.get()), FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, offset, length);
      }
      offset += length;
      SetProgressPos(next_);
      if (AbortRequested()) return false;
    }
    return true;
  }

  // Empty Form 2 sectors up to the disc address end.
  Status FillTo(int32_t end) {
    const RawSector empty = EmptyGapSector();
    for (; next_ < end; ++next_) {
      RawSector sector = empty;
      FinishSector(sector, next_);
      if (!Put(sector.data(), sector.size())) return false;
    }
    return true;
  }

 private:
  Status Put(const uint8_t* data, size_t size) {
    if (std::fwrite(data, 1, size, out_) != size) {
      ReportWriteFailure(errno, out_);
      return false;
    }
    return true;
  }

  std::FILE* out_;
  int32_t next_ = 0;
};

struct TrackSpan {
  int32_t pregap = 0;  // disc address of the pregap; equals start for the data track
  int32_t start = 0;
  int32_t end = 0;  // behind the track's last sector in the bin
};

const char* CueFileType(FileType type) {
  switch (type) {
    case FileType::kWave:
      return "WAVE";
    case FileType::kAiff:
      return "AIFF";
    case FileType::kPcmBigEndian:
      return "MOTOROLA";
    default:
      return "BINARY";
  }
}

std::string BaseName(const std::string& path) {
  return std::filesystem::path(path).filename().string();
}

// A CD-DA source as the cue sheet or TOC at sheet names it: relative to the
// sheet's folder, so the three files can be used from anywhere, or absolute
// when no relative path leads there.
std::string PathFromSheet(const std::string& sheet, const std::string& source) {
  namespace fs = std::filesystem;
  std::error_code error;
  const fs::path folder = fs::weakly_canonical(fs::absolute(sheet).parent_path(), error);
  const fs::path file = fs::weakly_canonical(fs::absolute(source), error);
  if (error) return fs::absolute(source).string();
  const fs::path relative = file.lexically_relative(folder);
  return relative.empty() ? file.string() : relative.string();
}

// Both text files report a failed write as the images do.
Status Finished(std::ofstream& file, const std::string& path) {
  file.close();
  if (file) return true;
  ReportWriteFailure(errno, path);
  return false;
}

Status WriteCue(VcdProject& project, const std::string& name, const std::vector<TrackSpan>& spans) {
  const std::string path = DiscFilePath(name, DiscFile::kCueSheet);
  std::ofstream cue(project.outputs.Create(path));
  cue << "FILE \"" << BaseName(DiscFilePath(name, DiscFile::kImage)) << "\" BINARY\n";
  for (size_t i = 0; i < spans.size(); ++i) {
    char track[64];
    std::snprintf(track, sizeof track, "  TRACK %02zu MODE2/2352\n", i + 1);
    cue << track;
    if (spans[i].pregap != spans[i].start) cue << "    INDEX 00 " << Msf(spans[i].pregap) << "\n";
    cue << "    INDEX 01 " << Msf(spans[i].start) << "\n";
  }
  size_t number = spans.size();
  for (const auto& track : project.audio_tracks) {
    char line[64];
    std::snprintf(line, sizeof line, "  TRACK %02zu AUDIO\n", ++number);
    cue << "FILE \"" << PathFromSheet(path, track->NewFullPath().value_or("")) << "\" "
        << CueFileType(track->GetFileType()) << "\n"
        << line << "    PREGAP " << Msf(kTrackPregapDistance) << "\n    INDEX 01 00:00:00\n";
  }
  return Finished(cue, path);
}

Status WriteToc(VcdProject& project, const std::string& name, const std::vector<TrackSpan>& spans) {
  const std::string path = DiscFilePath(name, DiscFile::kToc);
  std::ofstream toc(project.outputs.Create(path));
  toc << "CD_ROM_XA\n";
  for (const TrackSpan& span : spans) {
    toc << "\nTRACK MODE2_RAW\nDATAFILE \"" << BaseName(DiscFilePath(name, DiscFile::kImage))
        << "\" #" << int64_t{span.pregap} * static_cast<int64_t>(kRawSectorSize) << " "
        << Msf(span.end - span.pregap) << "\n";
    if (span.pregap != span.start) toc << "START " << Msf(span.start - span.pregap) << "\n";
  }
  for (const auto& track : project.audio_tracks) {
    toc << "\nTRACK AUDIO\nPREGAP " << Msf(kTrackPregapDistance) << "\nAUDIOFILE \""
        << PathFromSheet(path, track->NewFullPath().value_or("")) << "\" 0\n";
  }
  return Finished(toc, path);
}

}  // namespace

std::string DiscFilePath(const std::string& name, DiscFile file) {
  switch (file) {
    case DiscFile::kCueSheet:
      return name + ".cue";
    case DiscFile::kToc:
      return name + ".toc";
    default:
      return name + ".bin";
  }
}

Status ExportDisc(VcdProject& project, const std::string& name) {
  const std::string path = DiscFilePath(name, DiscFile::kImage);
  UniqueFile out(std::fopen(project.outputs.Create(path).c_str(), "wb"));
  if (!out) {
    ReportError("Could not open image file.%s", FileErrorLine(path, errno).c_str());
    return false;
  }
  DiscWriter writer(out.get(), std::max(static_cast<int32_t>(project.next_free_address), 1));
  std::vector<TrackSpan> spans;
  const std::string data_name = project.output_names.front()->NewFullPath().value_or("");
  if (!writer.CopyImage(project.image_file_name, kPregapSectors,
                        project.outputs.IsUnnamed(data_name))) {
    return false;
  }
  spans.push_back({0, 0, writer.Next()});
  for (size_t i = 0; i < project.mpeg_tracks.size(); ++i) {
    const auto start = static_cast<int32_t>(project.mpeg_tracks[i]->disc_address);
    if (!writer.FillTo(start - kPregapSectors)) return false;
    spans.back().end = writer.Next();  // the gap belongs to the track before
    const std::string name = project.output_names[i + 1]->NewFullPath().value_or("");
    if (!writer.CopyImage(project.outputs.WorkingPath(name), 0, project.outputs.IsUnnamed(name))) {
      return false;
    }
    spans.push_back({start - kPregapSectors, start, writer.Next()});
  }
  if (!project.audio_tracks.empty()) {
    if (!writer.FillTo(static_cast<int32_t>(project.audio_tracks.front()->disc_address -
                                            kTrackPregapDistance))) {
      return false;
    }
    spans.back().end = writer.Next();
  }
  if (std::fclose(out.release()) != 0) {
    ReportWriteFailure(errno, path);
    return false;
  }
  return WriteCue(project, name, spans) && WriteToc(project, name, spans);
}

}  // namespace vcd2
