#pragma once

#include <sys/types.h>

#include <optional>
#include <string>
#include <vector>

namespace vcd2 {

// Output files that appear under their names only when the whole build has
// succeeded. Each is created in its own folder as an unnamed file
// (O_TMPFILE), which the system frees by itself however the process ends, and
// is reached through /proc/self/fd; where the filesystem has no unnamed files
// it gets the temporary name NAME.vcd2tmp, which Discard removes.
class StagedOutputs {
 public:
  static constexpr char kTemporarySuffix[] = ".vcd2tmp";

  StagedOutputs() = default;
  StagedOutputs(const StagedOutputs&) = delete;
  StagedOutputs& operator=(const StagedOutputs&) = delete;
  ~StagedOutputs() { Discard(); }

  // A check runs the build without leaving a file: afterwards Create stages
  // the files the build reads back as usual and gives /dev/null for the
  // others, and Commit names nothing.
  void WriteNothing() { write_nothing_ = true; }

  // Creates an empty file for `path` and returns the path to write it by.
  // When no file can be created there, the returned path fails to open with
  // the same error, so the caller reports it as for the final name.
  // write_only: the build never reads the file back.
  std::string Create(const std::string& path, bool write_only = false);
  // The path to read or write the file for `path` by, or path itself when it
  // was not created here.
  std::string WorkingPath(const std::string& path) const;
  // A file for `path` is staged as any other but never named: Commit
  // discards it. For images that only feed the whole-disc image.
  void KeepUnnamed(const std::string& path) { unnamed_.push_back(path); }
  bool IsUnnamed(const std::string& path) const;
  // Names every file; on a failure reports it and discards the rest.
  bool Commit();
  // Removes every file that has not been named.
  void Discard();

  // The name a file being staged will get, found by its device and inode,
  // for messages about it; none for any other file.
  static std::optional<std::string> FinalName(dev_t device, ino_t inode);

 private:
  struct Entry {
    std::string path;
    std::string working_path;
    int fd = -1;  // the unnamed file; -1 for a named temporary or /dev/null
    dev_t device = 0;
    ino_t inode = 0;
  };
  bool Name(const Entry& entry) const;
  static void Drop(const Entry& entry);
  Entry Stage(const std::string& path) const;
  Entry Pretend(const std::string& path, bool write_only) const;

  std::vector<Entry> entries_;
  std::vector<std::string> unnamed_;
  bool write_nothing_ = false;
};

}  // namespace vcd2
