#ifndef QUORVEX_GRAPH_TESTING_SCRIPTED_FILTER_H_
#define QUORVEX_GRAPH_TESTING_SCRIPTED_FILTER_H_

#include <deque>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "graph/interfaces.h"
#include "graph/testing/delivery.h"
#include "graph/testing/double_ledger.h"
#include "graph/testing/scripted_pin.h"

namespace quorvex::doubles {

// What one EnumPins call does: its answer, the pins its enumerator delivers
// in order, and what Next answers after the last of them.
struct PinEnumerationScript {
  HResult enumPinsAnswer = kOk;
  std::vector<ScriptedPin*> pins;
  HResult endAnswer = kFalse;

  static PinEnumerationScript Failing(HResult enumPinsAnswer) { return {enumPinsAnswer, {}, kFalse}; }
  static PinEnumerationScript Delivering(std::vector<ScriptedPin*> pins, HResult endAnswer = kFalse) {
    return {kOk, std::move(pins), endAnswer};
  }
};

// A splitter, muxer or Dump filter. It offers IBaseFilter, IFileSourceFilter
// and IFileSinkFilter unless `interfaces` says otherwise.
class ScriptedFilter final : public IBaseFilter, public IFileSourceFilter, public IFileSinkFilter {
 public:
  ScriptedFilter(DoubleLedger& ledger, std::string label);

  HResult QueryInterface(const Guid& iid, void** object) override;
  uint32_t AddRef() override { return references_.Add(); }
  uint32_t Release() override { return references_.Drop(); }
  HResult EnumPins(IEnumPins** enumerator) override;
  HResult FindPin(const char16_t* id, IPin** pin) override;
  HResult Load(const char16_t* fileName, const TAmMediaType* mediaType) override;
  HResult SetFileName(const char16_t* fileName, const TAmMediaType* mediaType) override;

  // Pins in the order an unscripted enumeration delivers them.
  ScriptedPin& AddPin(PinScript script);
  ScriptedPin& AddPin(std::u16string name) { return AddPin(PinScript{std::move(name)}); }
  // The next EnumPins call, one script per call; once they are used up every
  // enumeration delivers all pins and then answers kFalse.
  void ScriptEnumeration(PinEnumerationScript script) { enumerations_.push_back(std::move(script)); }

  const std::string& label() const { return references_.label(); }
  uint32_t liveReferences() const { return references_.count(); }
  int enumerationsStarted() const { return static_cast<int>(enumerators_.size()); }
  const std::optional<std::u16string>& loadedFile() const { return loadedFile_; }
  const std::optional<std::u16string>& sinkFileName() const { return sinkFileName_; }

  InterfaceAnswers interfaces;
  HResult loadAnswer = kOk;
  HResult setFileNameAnswer = kOk;
  // FindPin answers this when set, else finds the pin by name.
  std::optional<HResult> findPinAnswer;

 private:
  LedgerReferences references_;
  std::vector<std::unique_ptr<ScriptedPin>> pins_;
  std::deque<PinEnumerationScript> enumerations_;
  std::vector<std::unique_ptr<ScriptedPinEnumerator>> enumerators_;
  std::optional<std::u16string> loadedFile_;
  std::optional<std::u16string> sinkFileName_;
};

}  // namespace quorvex::doubles

#endif  // QUORVEX_GRAPH_TESTING_SCRIPTED_FILTER_H_
