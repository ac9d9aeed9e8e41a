#include "graph/engine/filter_graph.h"

#include <chrono>
#include <filesystem>
#include <optional>
#include <string>

#include "graph/engine/packet_sink.h"
#include "graph/engine/splitter_filter.h"

namespace quorvex::engine {
namespace {

EngineFilter* AsEngineFilter(IBaseFilter* filter) {
  void* object = nullptr;
  if (filter->QueryInterface(kIidEngineFilter, &object) != kOk) return nullptr;
  return static_cast<EngineFilter*>(object);
}

}  // namespace

HResult FilterGraph::QueryInterface(const Guid& iid, void** object) {
  if (object == nullptr) return kPointer;
  if (iid == kIidUnknown || iid == kIidGraphBuilder) {
    *object = static_cast<IGraphBuilder*>(this);
  } else if (iid == kIidMediaControl) {
    *object = static_cast<IMediaControl*>(this);
  } else if (iid == kIidMediaEvent) {
    *object = static_cast<IMediaEvent*>(this);
  } else {
    *object = nullptr;
    return kNoInterface;
  }
  AddRef();
  return kOk;
}

bool FilterGraph::NameInUse(const std::u16string& name) const {
  for (const Member& member : filters_) {
    if (member.name == name) return true;
  }
  return false;
}

HResult FilterGraph::AddFilter(IBaseFilter* filter, const char16_t* name) {
  if (filter == nullptr) return kPointer;
  if (running_) return kWrongState;
  EngineFilter* engine = AsEngineFilter(filter);
  if (engine == nullptr) return kInvalidArgument;  // only the engine's filters stream here
  if (engine->graph() != nullptr) return kInvalidArgument;
  std::u16string unique = name != nullptr ? name : u"";
  HResult result = kOk;
  if (NameInUse(unique)) {
    result = kDuplicateName;
    const std::u16string base = unique;
    for (int number = 1; NameInUse(unique); ++number) {
      const std::string digits = std::to_string(number);
      unique = base;
      unique += u' ';
      unique.append(digits.begin(), digits.end());
    }
  }
  engine->JoinGraph(this);
  filters_.push_back(Member{ComPtr<IBaseFilter>::Share(filter), std::move(unique), engine});
  return result;
}

HResult FilterGraph::Run() {
  if (running_) return kOk;
  const HResult result = StartStreaming();
  if (result == kOk) running_ = true;
  return result;
}

bool FilterGraph::SameFile(const std::filesystem::path& a, const std::filesystem::path& b) const {
  const std::optional<FileIdentity> first = files_.Identify(a.string());
  const std::optional<FileIdentity> second = files_.Identify(b.string());
  return first.has_value() && second.has_value() && first->SameFileAs(*second);
}

HResult FilterGraph::StartStreaming() {
  SplitterFilter* splitter = nullptr;
  std::vector<Route> routes;
  for (const Member& member : filters_) {
    SplitterFilter* candidate = member.engine->AsSplitter();
    if (candidate == nullptr || candidate->source() == nullptr) continue;
    std::vector<Route> candidateRoutes(candidate->pins().size());
    bool connected = false;
    for (size_t i = 0; i < candidate->pins().size(); ++i) {
      const EnginePin* input = candidate->pins()[i]->peer();
      if (input == nullptr) continue;
      candidateRoutes[i] = Route{input->engineOwner().AsSink(), input->inputIndex()};
      connected = true;
    }
    if (!connected) continue;
    if (splitter != nullptr) return kNotImplemented;  // one source per graph
    splitter = candidate;
    routes = std::move(candidateRoutes);
  }

  std::vector<PacketSink*> sinks;
  for (const Member& member : filters_) {
    PacketSink* sink = member.engine->AsSink();
    if (sink == nullptr) continue;
    if (!sink->HasConnectedInput()) return kNotConnected;
    // Writing over the file being read would destroy the source.
    if (SameFile(sink->OutputPath(), splitter->source()->path())) return kInvalidArgument;
    sinks.push_back(sink);
  }
  if (sinks.empty()) {
    immediateResult_ = kEcComplete;  // nothing wanted, nothing to do
    return kOk;
  }
  for (size_t i = 0; i < sinks.size(); ++i) {
    if (!sinks[i]->Open()) {
      for (size_t j = 0; j <= i; ++j) sinks[j]->Abandon();
      return kCannotCreateFile;
    }
  }
  watch_ = std::make_unique<InterruptWatch>(interrupts_);
  pump_ = std::make_unique<StreamPump>(*splitter->source(), std::move(routes), std::move(sinks), interrupts_,
                                       openTerminal_ ? openTerminal_() : nullptr);
  pump_->Start();
  return kOk;
}

HResult FilterGraph::WaitForCompletion(int32_t timeoutMilliseconds, int32_t* eventCode) {
  if (eventCode == nullptr) return kPointer;
  *eventCode = 0;
  if (!running_) return kWrongState;
  if (immediateResult_.has_value()) {
    *eventCode = *immediateResult_;
    return kOk;
  }
  const std::optional<int32_t> code = pump_->Wait(std::chrono::milliseconds(timeoutMilliseconds));
  if (!code.has_value()) return kAbort;  // timed out
  // Past the run, Ctrl+C ends the process as usual again.
  watch_.reset();
  *eventCode = *code;
  return kOk;
}

}  // namespace quorvex::engine
