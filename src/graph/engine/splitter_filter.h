#ifndef QUORVEX_GRAPH_ENGINE_SPLITTER_FILTER_H_
#define QUORVEX_GRAPH_ENGINE_SPLITTER_FILTER_H_

#include <memory>
#include <vector>

#include "graph/engine/engine_filter.h"
#include "graph/engine/engine_pin.h"
#include "graph/engine/media_source.h"
#include "graph/interfaces.h"
#include "graph/ref_counted.h"
#include "platform/interrupts.h"
#include "platform/media_file.h"

namespace quorvex::engine {

// A source filter: loads a media file and offers one output pin per stream,
// in the file's stream order.
class SplitterFilter final : public IBaseFilter, public IFileSourceFilter, public EngineFilter {
 public:
  SplitterFilter(MediaSource::Formats formats, MediaFileSystem& files, Interrupts& interrupts)
      : formats_(formats), files_(files), interrupts_(interrupts) {}

  HResult QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override { return count_.Increment(); }
  uint32_t Release() override { return ReleaseReference(this, count_); }
  HResult EnumPins(IEnumPins** enumerator) override;
  HResult FindPin(const char16_t* id, IPin** pin) override;
  HResult Load(const char16_t* fileName, const TAmMediaType* mediaType) override;

  SplitterFilter* AsSplitter() override { return this; }
  // Null until a file is loaded.
  MediaSource* source() const { return source_.get(); }
  const std::vector<std::unique_ptr<EnginePin>>& pins() const { return pins_; }

 private:
  ReferenceCount count_;
  MediaSource::Formats formats_;
  MediaFileSystem& files_;
  Interrupts& interrupts_;
  // From the first look at the file on, a stop request is kept for the run,
  // which answers it; it must not end the process in the middle of probing.
  std::unique_ptr<InterruptWatch> watch_;
  std::unique_ptr<MediaSource> source_;
  std::vector<std::unique_ptr<EnginePin>> pins_;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_SPLITTER_FILTER_H_
