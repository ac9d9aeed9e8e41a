#ifndef QUORVEX_GRAPH_TESTING_SCRIPTED_CLASS_FACTORY_H_
#define QUORVEX_GRAPH_TESTING_SCRIPTED_CLASS_FACTORY_H_

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "graph/interfaces.h"
#include "graph/testing/double_ledger.h"
#include "graph/testing/scripted_filter.h"
#include "graph/testing/scripted_graph_manager.h"

namespace quorvex::doubles {

// Owns the doubles of one test and hands them out by class identifier: each
// creation of a class takes the next object added for it. A class with no
// object left, or none at all, answers kClassNotRegistered.
class ScriptedClassFactory final : public ClassFactory {
 public:
  HResult CreateInstance(const Guid& clsid, const Guid& iid, void** object) override;

  ScriptedGraphManager& AddGraphManager(std::string label = "graph manager");
  ScriptedFilter& AddFilter(const Guid& clsid, std::string label);
  // Every creation of `clsid` answers `answer`: a failure delivers nothing,
  // a success code still delivers the next object.
  void AnswerCreation(const Guid& clsid, HResult answer);

  DoubleLedger& ledger() { return ledger_; }
  const DoubleLedger& ledger() const { return ledger_; }
  // The classes asked for, in order.
  const std::vector<Guid>& requested() const { return requested_; }

 private:
  using Query = std::function<HResult(const Guid& iid, void** object)>;
  struct ClassEntry {
    Guid clsid;
    std::optional<HResult> answer;
    std::deque<Query> pending;
  };
  ClassEntry& EntryFor(const Guid& clsid);

  // Declared first: the objects below record into it until they go.
  DoubleLedger ledger_;
  std::vector<std::unique_ptr<ScriptedGraphManager>> graphManagers_;
  std::vector<std::unique_ptr<ScriptedFilter>> filters_;
  std::vector<ClassEntry> classes_;
  std::vector<Guid> requested_;
};

}  // namespace quorvex::doubles

#endif  // QUORVEX_GRAPH_TESTING_SCRIPTED_CLASS_FACTORY_H_
