#ifndef QUORVEX_GRAPH_TESTING_SCRIPTED_GRAPH_MANAGER_H_
#define QUORVEX_GRAPH_TESTING_SCRIPTED_GRAPH_MANAGER_H_

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "graph/interfaces.h"
#include "graph/testing/delivery.h"
#include "graph/testing/double_ledger.h"

namespace quorvex::doubles {

// A graph manager that records the filters added to it and answers Run and
// WaitForCompletion as scripted. Like the platform's, AddFilter answers
// kDuplicateName for a name already in the graph unless told otherwise. It
// takes no references of its own, so the ledger shows only the job's.
class ScriptedGraphManager final : public IGraphBuilder, public IMediaControl, public IMediaEvent {
 public:
  struct AddedFilter {
    IBaseFilter* filter;
    std::u16string name;
  };

  ScriptedGraphManager(DoubleLedger& ledger, std::string label);

  HResult QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override { return references_.Add(); }
  uint32_t Release() override { return references_.Drop(); }
  HResult AddFilter(IBaseFilter* filter, const char16_t* name) override;
  HResult Run() override;
  HResult WaitForCompletion(int32_t timeoutMilliseconds, int32_t* eventCode) override;

  const std::string& label() const { return references_.label(); }
  uint32_t liveReferences() const { return references_.count(); }
  const std::vector<AddedFilter>& added() const { return added_; }
  int runs() const { return runs_; }
  std::optional<int32_t> waitTimeout() const { return waitTimeout_; }

  InterfaceAnswers interfaces;
  // AddFilter's answer by filter name, overriding the duplicate-name rule.
  std::map<std::u16string, HResult> addFilterAnswers;
  HResult runAnswer = kOk;
  HResult waitAnswer = kOk;
  int32_t eventCode = kEcComplete;

 private:
  LedgerReferences references_;
  std::vector<AddedFilter> added_;
  int runs_ = 0;
  std::optional<int32_t> waitTimeout_;
};

}  // namespace quorvex::doubles

#endif  // QUORVEX_GRAPH_TESTING_SCRIPTED_GRAPH_MANAGER_H_
