#include "graph/testing/scripted_class_factory.h"

namespace quorvex::doubles {

HResult ScriptedClassFactory::CreateInstance(const Guid& clsid, const Guid& iid, void** object) {
  *object = nullptr;
  requested_.push_back(clsid);
  ClassEntry& entry = EntryFor(clsid);
  if (entry.answer.has_value() && *entry.answer < 0) return *entry.answer;
  if (entry.pending.empty()) return kClassNotRegistered;
  const Query query = std::move(entry.pending.front());
  entry.pending.pop_front();
  const HResult queried = query(iid, object);
  if (queried != kOk) return queried;
  return entry.answer.value_or(kOk);
}

ScriptedGraphManager& ScriptedClassFactory::AddGraphManager(std::string label) {
  graphManagers_.push_back(std::make_unique<ScriptedGraphManager>(ledger_, std::move(label)));
  ScriptedGraphManager* graph = graphManagers_.back().get();
  EntryFor(kClsidFilterGraph).pending.push_back([graph](const Guid& iid, void** object) {
    return graph->QueryInterface(iid, object);
  });
  return *graph;
}

ScriptedFilter& ScriptedClassFactory::AddFilter(const Guid& clsid, std::string label) {
  filters_.push_back(std::make_unique<ScriptedFilter>(ledger_, std::move(label)));
  ScriptedFilter* filter = filters_.back().get();
  EntryFor(clsid).pending.push_back(
      [filter](const Guid& iid, void** object) { return filter->QueryInterface(iid, object); });
  return *filter;
}

void ScriptedClassFactory::AnswerCreation(const Guid& clsid, HResult answer) { EntryFor(clsid).answer = answer; }

ScriptedClassFactory::ClassEntry& ScriptedClassFactory::EntryFor(const Guid& clsid) {
  for (ClassEntry& entry : classes_) {
    if (entry.clsid == clsid) return entry;
  }
  classes_.push_back({clsid, std::nullopt, {}});
  return classes_.back();
}

}  // namespace quorvex::doubles
