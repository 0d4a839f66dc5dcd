#include "support/iso_reader.h"

#include <cdio/iso9660.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>

namespace vcd2::test {
namespace {

std::string Take(char* text) {
  std::string result = text != nullptr ? text : "";
  std::free(text);
  return result;
}

}  // namespace

// The reader expects LBA 0 at the start of the file: it reads a copy of the
// image without its 150-sector pregap.
IsoReader::IsoReader(const std::string& image) : copy_(image + ".volume") {
  std::ifstream in(image, std::ios::binary);
  in.seekg(150 * 2352);
  std::ofstream(copy_, std::ios::binary) << in.rdbuf();
  iso_ = iso9660_open_fuzzy_ext(copy_.c_str(), ISO_EXTENSION_NONE, 20);
}

IsoReader::~IsoReader() {
  if (iso_ != nullptr) iso9660_close(iso_);
  std::remove(copy_.c_str());
}

IsoReader::Descriptor IsoReader::ReadDescriptor() const {
  iso9660_pvd_t pvd;
  if (!iso9660_ifs_read_pvd(iso_, &pvd)) return {};
  return {Take(iso9660_get_system_id(&pvd)), Take(iso9660_get_volume_id(&pvd)),
          Take(iso9660_get_volumeset_id(&pvd)), Take(iso9660_get_application_id(&pvd)),
          iso9660_get_pvd_space_size(&pvd)};
}

std::optional<std::vector<IsoReader::Entry>> IsoReader::List(const std::string& directory) const {
  CdioList_t* list = iso9660_ifs_readdir(iso_, directory.c_str());
  if (list == nullptr) return std::nullopt;
  std::vector<Entry> entries;
  CdioListNode_t* node;
  _CDIO_LIST_FOREACH(node, list) {
    const auto* stat = static_cast<iso9660_stat_t*>(_cdio_list_node_data(node));
    const std::string name = stat->filename;
    if (name == "." || name == "..") continue;
    const auto* xa = reinterpret_cast<const uint8_t*>(&stat->xa.attributes);
    entries.push_back({name, static_cast<uint32_t>(stat->lsn), stat->size,
                       stat->type == iso9660_stat_s::_STAT_DIR,
                       static_cast<uint16_t>(xa[0] << 8 | xa[1]), stat->xa.filenum});
  }
  iso9660_filelist_free(list);
  return entries;
}

}  // namespace vcd2::test
