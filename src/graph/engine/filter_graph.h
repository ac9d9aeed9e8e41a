#ifndef QUORVEX_GRAPH_ENGINE_FILTER_GRAPH_H_
#define QUORVEX_GRAPH_ENGINE_FILTER_GRAPH_H_

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "graph/com_ptr.h"
#include "graph/engine/engine_filter.h"
#include "graph/engine/stream_pump.h"
#include "graph/interfaces.h"
#include "graph/ref_counted.h"
#include "platform/interrupts.h"
#include "platform/media_file.h"

namespace quorvex::engine {

using ProgressTerminalOpener = std::function<std::unique_ptr<ProgressTerminal>()>;

// The graph manager: holds the filters by name, runs the graph on its
// streaming threads and reports how the run ended.
class FilterGraph final : public IGraphBuilder, public IMediaControl, public IMediaEvent {
 public:
  FilterGraph(MediaFileSystem& files, Interrupts& interrupts, ProgressTerminalOpener openTerminal)
      : files_(files), interrupts_(interrupts), openTerminal_(std::move(openTerminal)) {}

  HResult QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override { return count_.Increment(); }
  uint32_t Release() override { return ReleaseReference(this, count_); }

  // A name already in use gets the filter a numbered variant of it, answered
  // with kDuplicateName as the platform's manager does.
  HResult AddFilter(IBaseFilter* filter, const char16_t* name) override;
  // Opens every output and starts streaming. Fails when an output cannot be
  // created or a writing filter has nothing connected.
  HResult Run() override;
  HResult WaitForCompletion(int32_t timeoutMilliseconds, int32_t* eventCode) override;

 private:
  struct Member {
    ComPtr<IBaseFilter> filter;
    std::u16string name;
    EngineFilter* engine;
  };

  bool NameInUse(const std::u16string& name) const;
  HResult StartStreaming();
  bool SameFile(const std::filesystem::path& a, const std::filesystem::path& b) const;

  ReferenceCount count_;
  MediaFileSystem& files_;
  Interrupts& interrupts_;
  ProgressTerminalOpener openTerminal_;
  std::vector<Member> filters_;
  // Declared after the filters: the streaming threads stop before the
  // filters they feed go.
  std::unique_ptr<InterruptWatch> watch_;
  std::unique_ptr<StreamPump> pump_;
  std::optional<int32_t> immediateResult_;
  bool running_ = false;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_FILTER_GRAPH_H_
