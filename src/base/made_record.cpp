#include "base/made_record.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <fstream>
#include <sstream>

namespace vcd2::made_record {
namespace {

constexpr char kHeader[] = "vcd2 made";
constexpr char kMaking[] = "making";
constexpr char kKept[] = "kept";
constexpr size_t kNameLimit = 255;

uint64_t NameHash(const std::string& name) {
  uint64_t hash = 14695981039346656037u;  // FNV-1a
  for (const char c : name) {
    hash = (hash ^ static_cast<unsigned char>(c)) * 1099511628211u;
  }
  return hash;
}

std::string Identity(const struct stat& info) {
  std::ostringstream text;
  text << info.st_dev << ' ' << info.st_ino << ' ' << info.st_size << ' ' << info.st_mtim.tv_sec
       << ' ' << info.st_mtim.tv_nsec;
  return text.str();
}

// The record is written whole under its own name; a half-written one reads
// as "making" at worst, which only makes the target again.
bool Write(const std::string& target, const std::string& text) {
  std::ofstream file(PathFor(target), std::ios::binary | std::ios::trunc);
  file << kHeader << '\n' << text;
  file.close();
  return !file.fail();
}

}  // namespace

std::string PathFor(const std::string& target) {
  const size_t slash = target.rfind('/');
  const std::string folder = slash == std::string::npos ? "" : target.substr(0, slash + 1);
  const std::string name = slash == std::string::npos ? target : target.substr(slash + 1);
  std::string record = "." + name + ".vcd2made";
  if (record.size() > kNameLimit) {
    char hash[17];
    std::snprintf(hash, sizeof hash, "%016llx", static_cast<unsigned long long>(NameHash(name)));
    record = std::string(".vcd2made-") + hash;
  }
  return folder + record;
}

bool MarkMaking(const std::string& target) {
  return Write(target, std::string(kMaking) + "\n");
}

bool MarkKept(const std::string& target, const std::string& stamp) {
  struct stat info {};
  if (stat(target.c_str(), &info) != 0) return false;
  return Write(target, std::string(kKept) + " " + Identity(info) + "\n" + stamp);
}

bool Exists(const std::string& target) {
  return access(PathFor(target).c_str(), F_OK) == 0;
}

std::optional<std::string> KeptStamp(const std::string& target) {
  struct stat info {};
  if (stat(target.c_str(), &info) != 0) return std::nullopt;
  std::ifstream file(PathFor(target), std::ios::binary);
  std::string header;
  std::string state;
  if (!std::getline(file, header) || header != kHeader || !std::getline(file, state)) {
    return std::nullopt;
  }
  if (state != std::string(kKept) + " " + Identity(info)) return std::nullopt;
  std::ostringstream stamp;
  stamp << file.rdbuf();
  return stamp.str();
}

void Remove(const std::string& target) {
  unlink(PathFor(target).c_str());
}

}  // namespace vcd2::made_record
