#ifndef QUORVEX_GRAPH_TESTING_SCRIPTED_PIN_H_
#define QUORVEX_GRAPH_TESTING_SCRIPTED_PIN_H_

#include <string>
#include <vector>

#include "graph/interfaces.h"
#include "graph/testing/delivery.h"
#include "graph/testing/double_ledger.h"

namespace quorvex::doubles {

struct PinScript {
  // Copied into achName; a name of 128 units or more fills it without a NUL.
  std::u16string name;
  HResult queryPinInfoAnswer = kOk;
  HResult connectAnswer = kOk;
};

// A pin with a scripted name and answers. Connect records the receiving pin
// whatever it answers, so tests see the attempts as well as the successes.
class ScriptedPin final : public IPin {
 public:
  ScriptedPin(DoubleLedger& ledger, std::string label, IBaseFilter& owner, PinScript script);

  HResult QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override { return references_.Add(); }
  uint32_t Release() override { return references_.Drop(); }
  HResult Connect(IPin* receivePin, const TAmMediaType* mediaType) override;
  HResult QueryPinInfo(TPinInfo* info) override;

  const std::string& label() const { return references_.label(); }
  uint32_t liveReferences() const { return references_.count(); }
  // The pins Connect was asked to connect to, in order.
  const std::vector<IPin*>& connectAttempts() const { return connectAttempts_; }

  PinScript script;
  InterfaceAnswers interfaces;

 private:
  LedgerReferences references_;
  IBaseFilter& owner_;
  std::vector<IPin*> connectAttempts_;
};

// Delivers a fixed list of pins, one per Next, then answers `endAnswer`.
class ScriptedPinEnumerator final : public IEnumPins {
 public:
  ScriptedPinEnumerator(DoubleLedger& ledger, std::string label, std::vector<ScriptedPin*> pins, HResult endAnswer);

  HResult QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override { return references_.Add(); }
  uint32_t Release() override { return references_.Drop(); }
  HResult Next(uint32_t count, IPin** pins, uint32_t* fetched) override;

 private:
  LedgerReferences references_;
  std::vector<ScriptedPin*> pins_;
  size_t position_ = 0;
  HResult endAnswer_;
};

}  // namespace quorvex::doubles

#endif  // QUORVEX_GRAPH_TESTING_SCRIPTED_PIN_H_
