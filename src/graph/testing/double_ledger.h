#ifndef QUORVEX_GRAPH_TESTING_DOUBLE_LEDGER_H_
#define QUORVEX_GRAPH_TESTING_DOUBLE_LEDGER_H_

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace quorvex::doubles {

// What the test doubles of one test share: the live references of every
// object, the order in which objects lost their last reference, and the calls
// made to them. The doubles belong to the test, not to their references, so a
// job that leaks or over-releases shows up here instead of crashing.
class DoubleLedger {
 public:
  void Acquired(const void* object, std::string_view label);
  void Released(const void* object, std::string_view label);

  int LiveReferences() const;
  // Labels of the objects still referenced, for failure messages.
  std::vector<std::string> Holders() const;
  // Labels in the order the objects lost their last reference.
  const std::vector<std::string>& releases() const { return releases_; }
  // Releases of objects that held no reference.
  int overReleases() const { return overReleases_; }

  void Note(std::string call) { calls_.push_back(std::move(call)); }
  const std::vector<std::string>& calls() const { return calls_; }

 private:
  struct Entry {
    std::string label;
    int count = 0;
  };
  std::map<const void*, Entry> entries_;
  std::vector<std::string> releases_;
  std::vector<std::string> calls_;
  int overReleases_ = 0;
};

// The reference count of one double, kept in the ledger.
class LedgerReferences {
 public:
  LedgerReferences(DoubleLedger& ledger, std::string label) : ledger_(ledger), label_(std::move(label)) {}

  uint32_t Add();
  uint32_t Drop();
  uint32_t count() const { return count_; }
  const std::string& label() const { return label_; }
  DoubleLedger& ledger() const { return ledger_; }

 private:
  DoubleLedger& ledger_;
  std::string label_;
  uint32_t count_ = 0;
};

}  // namespace quorvex::doubles

#endif  // QUORVEX_GRAPH_TESTING_DOUBLE_LEDGER_H_
