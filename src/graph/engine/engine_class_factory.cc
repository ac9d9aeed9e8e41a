#include "graph/engine/engine_class_factory.h"

#include "graph/com_ptr.h"
#include "graph/engine/filter_graph.h"
#include "graph/engine/sink_filters.h"
#include "graph/engine/splitter_filter.h"
#include "graph/ref_counted.h"

extern "C" {
#include <libavutil/log.h>
}

namespace quorvex {
namespace {

using namespace engine;

// Hands out `object`'s interface `iid`; the creation reference goes either way.
template <class T>
HResult Offer(T* created, const Guid& iid, void** object) {
  ComPtr<IUnknown> owner = ComPtr<IUnknown>::Adopt(static_cast<IBaseFilter*>(created));
  return owner->QueryInterface(iid, object);
}

class EngineClassFactory final : public ClassFactory {
 public:
  explicit EngineClassFactory(EngineServices services) : services_(std::move(services)) {}

  HResult CreateInstance(const Guid& clsid, const Guid& iid, void** object) override {
    if (object == nullptr) return kPointer;
    *object = nullptr;
    if (clsid == kClsidFilterGraph) {
      ComPtr<IGraphBuilder> graph = ComPtr<IGraphBuilder>::Adopt(
          MakeRefCounted<FilterGraph>(services_.files, services_.interrupts, services_.openTerminal));
      return graph->QueryInterface(iid, object);
    }
    if (clsid == kClsidHaaliSplitter) return OfferSplitter(MediaSource::Formats::kAnyByContent, iid, object);
    if (clsid == kClsidWmvSplitter) return OfferSplitter(MediaSource::Formats::kAsfOnly, iid, object);
    if (clsid == kClsidHaaliMuxer) return Offer(MakeRefCounted<MatroskaMuxerFilter>(services_.files), iid, object);
    if (clsid == kClsidDump) return Offer(MakeRefCounted<DumpFilter>(services_.files), iid, object);
    return kClassNotRegistered;
  }

 private:
  HResult OfferSplitter(MediaSource::Formats formats, const Guid& iid, void** object) {
    return Offer(MakeRefCounted<SplitterFilter>(formats, services_.files, services_.interrupts), iid, object);
  }

  EngineServices services_;
};

}  // namespace

EngineServices SystemEngineServices() {
  return EngineServices{SystemMediaFiles(), SystemInterrupts(), &OpenProgressTerminal};
}

std::unique_ptr<ClassFactory> CreateEngineClassFactory(EngineServices services) {
  // The program speaks through its own lines; libav's warnings about damaged
  // stretches of real streams would bury them.
  av_log_set_level(AV_LOG_QUIET);
  return std::make_unique<EngineClassFactory>(std::move(services));
}

}  // namespace quorvex
