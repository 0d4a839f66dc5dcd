#include "model/file_ref.h"

#include <cstring>

namespace vcd2 {

FileRef::FileRef(std::string path)
    : first_name_(std::move(path)), location_(LocationKind::kDirectPath) {}

FileRef::FileRef(std::string mount_label, std::string path)
    : first_name_(std::move(mount_label)),
      second_name_(std::move(path)),
      location_(LocationKind::kMountLabel) {}

void FileRef::BindMount(const MountPoint* mount) {
  mount_ = mount;
  location_ = LocationKind::kMountResolved;
}

std::optional<std::string> FileRef::NewFullPath() const {
  switch (location_) {
    case LocationKind::kDirectPath:
      return first_name_;
    case LocationKind::kMountResolved: {
      std::string path = mount_->directory;
      if (!path.empty() && path.back() != '/' && path.back() != '\\') path += '/';
      return path + second_name_;
    }
    default:
      return std::nullopt;
  }
}

char* FileRef::CopyFullPath(std::span<char> buffer) const {
  const auto path = NewFullPath();
  if (!path || path->size() >= buffer.size()) return nullptr;
  std::memcpy(buffer.data(), path->c_str(), path->size() + 1);
  return buffer.data();
}

}  // namespace vcd2
