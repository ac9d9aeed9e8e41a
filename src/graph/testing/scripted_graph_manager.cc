#include "graph/testing/scripted_graph_manager.h"

#include "text/conversions.h"

namespace quorvex::doubles {

ScriptedGraphManager::ScriptedGraphManager(DoubleLedger& ledger, std::string label)
    : references_(ledger, std::move(label)) {}

HResult ScriptedGraphManager::QueryInterface(const Guid& iid, void** object) {
  void* asInterface = nullptr;
  if (iid == kIidUnknown || iid == kIidGraphBuilder) asInterface = static_cast<IGraphBuilder*>(this);
  if (iid == kIidMediaControl) asInterface = static_cast<IMediaControl*>(this);
  if (iid == kIidMediaEvent) asInterface = static_cast<IMediaEvent*>(this);
  return AnswerInterface(*this, interfaces, iid, asInterface, object);
}

HResult ScriptedGraphManager::AddFilter(IBaseFilter* filter, const char16_t* name) {
  const std::u16string filterName = name;
  references_.ledger().Note("AddFilter " + NarrowText(filterName));
  bool duplicate = false;
  for (const AddedFilter& earlier : added_) duplicate = duplicate || earlier.name == filterName;
  added_.push_back({filter, filterName});
  const auto scripted = addFilterAnswers.find(filterName);
  if (scripted != addFilterAnswers.end()) return scripted->second;
  return duplicate ? kDuplicateName : kOk;
}

HResult ScriptedGraphManager::Run() {
  references_.ledger().Note("Run");
  ++runs_;
  return runAnswer;
}

HResult ScriptedGraphManager::WaitForCompletion(int32_t timeoutMilliseconds, int32_t* code) {
  references_.ledger().Note("WaitForCompletion " + std::to_string(timeoutMilliseconds));
  waitTimeout_ = timeoutMilliseconds;
  if (waitAnswer == kOk) *code = eventCode;
  return waitAnswer;
}

}  // namespace quorvex::doubles
