#ifndef QUORVEX_GRAPH_ENGINE_PIN_ENUMERATOR_H_
#define QUORVEX_GRAPH_ENGINE_PIN_ENUMERATOR_H_

#include <memory>
#include <vector>

#include "graph/com_ptr.h"
#include "graph/interfaces.h"
#include "graph/ref_counted.h"

namespace quorvex::engine {

// Walks a snapshot of a filter's pins taken when the enumeration began, so
// pins added later (the muxer's new free input) show up only in a fresh one.
class PinEnumerator final : public IEnumPins {
 public:
  explicit PinEnumerator(std::vector<ComPtr<IPin>> pins) : pins_(std::move(pins)) {}

  // A new enumerator over `pins`, holding one reference for the caller.
  template <class PinList>
  static IEnumPins* Over(const PinList& pins) {
    std::vector<ComPtr<IPin>> snapshot;
    for (const auto& pin : pins) snapshot.push_back(ComPtr<IPin>::Share(pin.get()));
    return MakeRefCounted<PinEnumerator>(std::move(snapshot));
  }

  HResult QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override { return count_.Increment(); }
  uint32_t Release() override { return ReleaseReference(this, count_); }
  HResult Next(uint32_t count, IPin** pins, uint32_t* fetched) override;

 private:
  ReferenceCount count_;
  std::vector<ComPtr<IPin>> pins_;
  size_t next_ = 0;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_PIN_ENUMERATOR_H_
