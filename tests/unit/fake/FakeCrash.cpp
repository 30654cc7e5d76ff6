// The fake's power cuts, modelled on NTFS: file data reaches the disk when
// it is flushed; metadata goes through a journal that a flush (or a
// write-through rename) commits together with everything logged before it.
#include "fake/FakeWindows.h"

namespace quietreel::fake {

void FakeWindows::CrashAfterCall(std::size_t n) {
  crashArmed_ = true;
  crashAt_ = fallibleCalls_ + n;
  committed_ = nodes_;
  cut_.reset();
}

void FakeWindows::CutPowerNow() { cut_ = DiskAtCut{nodes_, committed_}; }

void FakeWindows::Flushed(Node& node) {
  node.durable = node.bytes;
  JournalCommitted();
}

void FakeWindows::JournalCommitted() {
  if (crashArmed_ && !cut_) committed_ = nodes_;
}

void FakeWindows::Reboot(UnflushedData data, Journal journal) {
  if (!crashArmed_) return;
  if (!cut_) CutPowerNow();
  nodes_ = journal == Journal::kKept ? cut_->nodes : cut_->committed;
  for (auto& entry : nodes_) {
    Node& node = entry.second;
    if (data == UnflushedData::kLost) node.bytes = node.durable;
    for (std::size_t i = 0; i < node.bytes.size(); ++i)
      if (i >= node.durable.size() || node.bytes[i] != node.durable[i]) node.bytes[i] = '\0';
    node.durable = node.bytes;
  }
  crashArmed_ = false;
  cut_.reset();
}

}  // namespace quietreel::fake
