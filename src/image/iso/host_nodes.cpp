#include "image/iso/host_nodes.h"

#include <algorithm>

#include "base/byte_order.h"
#include "image/iso/directory_record.h"

namespace vcd2 {

HostNodes::HostNodes(const BuilderCallbacks* callbacks, uint16_t volume_number)
    : callbacks_(callbacks != nullptr && callbacks->create_node != nullptr ? callbacks : nullptr),
      volume_number_(volume_number) {
  chain_heads_.push_back(nullptr);  // the root chain
}

HostNodes::~HostNodes() {
  for (VolumeImagerNode* head : chain_heads_) Release(head);
}

void HostNodes::Release(VolumeImagerNode* node) {
  if (node == nullptr) return;
  Release(node->next);
  if (callbacks_->release_node != nullptr) callbacks_->release_node(node);
}

VolumeImagerNode* HostNodes::Create(VolumeImagerNode& record, const std::string& name,
                                    const RecordingDate& date) {
  record.name = name.c_str();
  record.volume_sequence_number = volume_number_;
  std::copy_n(date.begin(), 6, record.recording_date);
  record.gmt_offset = date[6];
  return callbacks_->create_node(&record);
}

VolumeImagerNode* HostNodes::AddDirectory(const std::string& name, const RecordingDate& date) {
  if (callbacks_ == nullptr) return nullptr;
  VolumeImagerNode record{};
  record.kind = VCD2_NODE_DIRECTORY;
  auto& attributes = blocks_.emplace_back();
  StoreLittleEndian16(attributes.data() + 4, xa::kDirectory);
  record.attributes.attribute_block = attributes.data();
  VolumeImagerNode* node = Create(record, name, date);
  if (node != nullptr) {
    chain_heads_.push_back(node);
    tails_.emplace_back(node, nullptr);
  }
  return node;
}

VolumeImagerNode* HostNodes::AddFile(const VolumeFile& file, VolumeImagerNode* directory,
                                     const RecordingDate& date) {
  if (callbacks_ == nullptr) return nullptr;
  VolumeImagerNode record{};
  record.parent = directory;
  record.kind = file.kind;
  record.first_sector = file.first_sector;
  record.size = file.size;
  record.file_version = 1;
  auto& block = blocks_.emplace_back();
  if (file.kind == VCD2_NODE_PLACED_FILE) {
    WriteXaRecord(block.data(), file.attributes, file.file_number);
    record.xa_record = block.data();
    record.attributes.xa_record_length = kXaRecordSize;
  } else {
    StoreLittleEndian16(block.data() + 4, file.attributes);
    block[6] = file.file_number;
    record.attributes.attribute_block = block.data();
  }
  VolumeImagerNode* node = Create(record, file.name, date);
  if (node != nullptr) Link(directory, node);
  return node;
}

void HostNodes::Link(VolumeImagerNode* directory, VolumeImagerNode* node) {
  if (directory == nullptr) {
    (root_tail_ == nullptr ? chain_heads_.front() : root_tail_->next) = node;
    root_tail_ = node;
    return;
  }
  for (auto& [dir, tail] : tails_) {
    if (dir != directory) continue;
    (tail == nullptr ? dir->next : tail->next) = node;
    tail = node;
  }
}

}  // namespace vcd2
