#include "graph/testing/double_ledger.h"

namespace quorvex::doubles {

void DoubleLedger::Acquired(const void* object, std::string_view label) {
  Entry& entry = entries_[object];
  entry.label = label;
  ++entry.count;
}

void DoubleLedger::Released(const void* object, std::string_view label) {
  Entry& entry = entries_[object];
  entry.label = label;
  if (entry.count == 0) {
    ++overReleases_;
    return;
  }
  if (--entry.count == 0) releases_.push_back(entry.label);
}

int DoubleLedger::LiveReferences() const {
  int total = 0;
  for (const auto& [object, entry] : entries_) total += entry.count;
  return total;
}

std::vector<std::string> DoubleLedger::Holders() const {
  std::vector<std::string> holders;
  for (const auto& [object, entry] : entries_) {
    if (entry.count > 0) holders.push_back(entry.label);
  }
  return holders;
}

uint32_t LedgerReferences::Add() {
  ledger_.Acquired(this, label_);
  return ++count_;
}

uint32_t LedgerReferences::Drop() {
  ledger_.Released(this, label_);
  if (count_ > 0) --count_;
  return count_;
}

}  // namespace quorvex::doubles
