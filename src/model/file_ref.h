#pragma once

#include <optional>
#include <span>
#include <string>

#include "model/codes.h"
#include "model/mount_point.h"

namespace vcd2 {

// A reference to a source file: a direct path, or a path inside a mount.
class FileRef {
 public:
  FileRef() = default;
  explicit FileRef(std::string path);
  FileRef(std::string mount_label, std::string path);
  FileRef(const FileRef& other) = default;
  FileRef& operator=(const FileRef& other) = default;
  virtual ~FileRef() = default;

  void SetFileType(FileType type) { file_type_ = type; }
  FileType GetFileType() const { return file_type_; }
  bool HasNoLocation() const { return location_ == LocationKind::kUndetermined; }
  bool IsMountRelative() const { return location_ == LocationKind::kMountLabel; }
  LocationKind Location() const { return location_; }

  // Binds a mount-relative reference to its mount (borrowed).
  void BindMount(const MountPoint* mount);

  // The full path: the path itself, or the mount's directory and the path
  // joined with '/' (none added after a directory ending in '/' or '\').
  // None while the location is undetermined or the mount is unbound.
  std::optional<std::string> NewFullPath() const;
  // The same path copied into buffer with its terminator; null when there is
  // no path or it does not fit.
  char* CopyFullPath(std::span<char> buffer) const;

  // The path for a direct reference, the mount label otherwise.
  const std::string& FirstName() const { return first_name_; }
  // The path inside the mount; empty for a direct reference.
  const std::string& SecondName() const { return second_name_; }
  const MountPoint* Mount() const { return mount_; }

 private:
  std::string first_name_;
  std::string second_name_;
  const MountPoint* mount_ = nullptr;
  LocationKind location_ = LocationKind::kUndetermined;
  FileType file_type_ = FileType::kNone;
};

}  // namespace vcd2
