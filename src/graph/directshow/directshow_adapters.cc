// Thin adapters: each object of ours holds one reference to a genuine COM
// interface and forwards the calls the jobs make, converting only what the
// two sides spell differently (GUIDs, wide strings, the pin record).
#include "graph/directshow/directshow_adapters.h"

#include <dshow.h>
#include <windows.h>

#include <algorithm>
#include <type_traits>
#include <utility>
#include <vector>

#include "graph/ref_counted.h"

namespace quorvex {
namespace {

const wchar_t* ToWide(const char16_t* text) { return reinterpret_cast<const wchar_t*>(text); }

HResult ToResult(HRESULT result) { return static_cast<HResult>(result); }

// Asks the genuine object for another interface and adapts the answer.
HResult QueryGenuine(::IUnknown* genuine, const Guid& iid, void** object) {
  if (object == nullptr) return kPointer;
  *object = nullptr;
  void* other = nullptr;
  const HRESULT result = genuine->QueryInterface(ToPlatformGuid(iid), &other);
  if (result != S_OK) {
    if (other != nullptr) static_cast<::IUnknown*>(other)->Release();
    return ToResult(result);
  }
  return AdaptGenuineObject(iid, other, object);
}

// The common part: reference counting of our own, and the one genuine
// reference that goes with the last of ours.
template <class Ours, class Genuine>
class Adapter : public Ours {
 public:
  explicit Adapter(Genuine* genuine) : genuine_(genuine) {}
  virtual ~Adapter() { genuine_->Release(); }
  Adapter(const Adapter&) = delete;
  Adapter& operator=(const Adapter&) = delete;

  HResult QueryInterface(const Guid& iid, void** object) override { return QueryGenuine(genuine_, iid, object); }
  uint32_t AddRef() override { return count_.Increment(); }
  uint32_t Release() override { return ReleaseReference(this, count_); }

  Genuine* genuine() const { return genuine_; }

 protected:
  Genuine* const genuine_;

 private:
  ReferenceCount count_;
};

// Wraps a fresh genuine reference as interface Ours.
template <class AdapterType, class Genuine>
auto* AdaptNew(Genuine* genuine) {
  return MakeRefCounted<AdapterType>(genuine);
}

// The jobs pass no media types; ours are opaque and have no genuine form.
bool NoMediaType(const TAmMediaType* mediaType) { return mediaType == nullptr; }

class BaseFilterAdapter final : public Adapter<IBaseFilter, ::IBaseFilter> {
 public:
  using Adapter::Adapter;
  HResult EnumPins(IEnumPins** enumerator) override;
  HResult FindPin(const char16_t* id, IPin** pin) override;
};

class PinAdapter final : public Adapter<IPin, ::IPin> {
 public:
  using Adapter::Adapter;

  HResult Connect(IPin* receivePin, const TAmMediaType* mediaType) override {
    if (!NoMediaType(mediaType)) return kNotImplemented;
    ::IPin* target = nullptr;
    if (receivePin != nullptr) {
      // Only pins of this backend can meet in its graph.
      auto* adapter = dynamic_cast<PinAdapter*>(receivePin);
      if (adapter == nullptr) return kInvalidArgument;
      target = adapter->genuine();
    }
    return ToResult(genuine_->Connect(target, nullptr));
  }

  HResult QueryPinInfo(TPinInfo* info) override {
    if (info == nullptr) return kPointer;
    PIN_INFO genuineInfo{};
    const HRESULT result = genuine_->QueryPinInfo(&genuineInfo);
    if (result != S_OK) {
      if (genuineInfo.pFilter != nullptr) genuineInfo.pFilter->Release();
      return ToResult(result);
    }
    info->pFilter = genuineInfo.pFilter != nullptr ? AdaptNew<BaseFilterAdapter>(genuineInfo.pFilter) : nullptr;
    info->dir = genuineInfo.dir == PINDIR_OUTPUT ? kPinOutput : kPinInput;
    std::transform(std::begin(genuineInfo.achName), std::end(genuineInfo.achName), info->achName,
                   [](wchar_t unit) { return static_cast<char16_t>(unit); });
    return kOk;
  }
};

class EnumPinsAdapter final : public Adapter<IEnumPins, ::IEnumPins> {
 public:
  using Adapter::Adapter;

  HResult Next(uint32_t count, IPin** pins, uint32_t* fetched) override {
    if (pins == nullptr) return kPointer;
    std::vector<::IPin*> delivered(count, nullptr);
    ULONG got = 0;
    const HRESULT result = genuine_->Next(count, delivered.data(), &got);
    got = std::min<ULONG>(got, count);
    for (ULONG i = 0; i < got; ++i) pins[i] = AdaptNew<PinAdapter>(delivered[i]);
    if (fetched != nullptr) *fetched = got;
    return ToResult(result);
  }
};

HResult BaseFilterAdapter::EnumPins(IEnumPins** enumerator) {
  if (enumerator == nullptr) return kPointer;
  *enumerator = nullptr;
  ::IEnumPins* genuineEnumerator = nullptr;
  const HRESULT result = genuine_->EnumPins(&genuineEnumerator);
  if (result != S_OK) {
    if (genuineEnumerator != nullptr) genuineEnumerator->Release();
    return ToResult(result);
  }
  *enumerator = AdaptNew<EnumPinsAdapter>(genuineEnumerator);
  return kOk;
}

HResult BaseFilterAdapter::FindPin(const char16_t* id, IPin** pin) {
  if (pin == nullptr) return kPointer;
  *pin = nullptr;
  ::IPin* genuinePin = nullptr;
  const HRESULT result = genuine_->FindPin(ToWide(id), &genuinePin);
  if (result != S_OK) {
    if (genuinePin != nullptr) genuinePin->Release();
    return ToResult(result);
  }
  *pin = AdaptNew<PinAdapter>(genuinePin);
  return kOk;
}

class FileSourceFilterAdapter final : public Adapter<IFileSourceFilter, ::IFileSourceFilter> {
 public:
  using Adapter::Adapter;
  HResult Load(const char16_t* fileName, const TAmMediaType* mediaType) override {
    if (!NoMediaType(mediaType)) return kNotImplemented;
    return ToResult(genuine_->Load(ToWide(fileName), nullptr));
  }
};

class FileSinkFilterAdapter final : public Adapter<IFileSinkFilter, ::IFileSinkFilter> {
 public:
  using Adapter::Adapter;
  HResult SetFileName(const char16_t* fileName, const TAmMediaType* mediaType) override {
    if (!NoMediaType(mediaType)) return kNotImplemented;
    return ToResult(genuine_->SetFileName(ToWide(fileName), nullptr));
  }
};

class MediaControlAdapter final : public Adapter<IMediaControl, ::IMediaControl> {
 public:
  using Adapter::Adapter;
  HResult Run() override { return ToResult(genuine_->Run()); }
};

class MediaEventAdapter final : public Adapter<IMediaEvent, ::IMediaEvent> {
 public:
  using Adapter::Adapter;
  HResult WaitForCompletion(int32_t timeoutMilliseconds, int32_t* eventCode) override {
    if (eventCode == nullptr) return kPointer;
    LONG code = 0;
    const HRESULT result = genuine_->WaitForCompletion(timeoutMilliseconds, &code);
    *eventCode = code;
    return ToResult(result);
  }
};

class GraphBuilderAdapter final : public Adapter<IGraphBuilder, ::IGraphBuilder> {
 public:
  using Adapter::Adapter;
  HResult AddFilter(IBaseFilter* filter, const char16_t* name) override {
    ::IBaseFilter* genuineFilter = nullptr;
    if (filter != nullptr) {
      auto* adapter = dynamic_cast<BaseFilterAdapter*>(filter);
      if (adapter == nullptr) return kInvalidArgument;
      genuineFilter = adapter->genuine();
    }
    return ToResult(genuine_->AddFilter(genuineFilter, ToWide(name)));
  }
};

// Stores the adapter as the interface of ours that callers asked for.
template <class AdapterType, class Ours>
HResult Store(void* genuine, void** object) {
  using Genuine = std::remove_pointer_t<decltype(std::declval<AdapterType>().genuine())>;
  Ours* adapted = AdaptNew<AdapterType>(static_cast<Genuine*>(genuine));
  *object = adapted;
  return kOk;
}

}  // namespace

GUID ToPlatformGuid(const Guid& guid) {
  GUID result{};
  result.Data1 = guid.data1;
  result.Data2 = guid.data2;
  result.Data3 = guid.data3;
  std::copy(guid.data4.begin(), guid.data4.end(), result.Data4);
  return result;
}

HResult AdaptGenuineObject(const Guid& iid, void* genuine, void** object) {
  *object = nullptr;
  if (genuine == nullptr) return kPointer;
  if (iid == kIidGraphBuilder) return Store<GraphBuilderAdapter, IGraphBuilder>(genuine, object);
  if (iid == kIidBaseFilter) return Store<BaseFilterAdapter, IBaseFilter>(genuine, object);
  if (iid == kIidFileSourceFilter) return Store<FileSourceFilterAdapter, IFileSourceFilter>(genuine, object);
  if (iid == kIidFileSinkFilter) return Store<FileSinkFilterAdapter, IFileSinkFilter>(genuine, object);
  if (iid == kIidMediaControl) return Store<MediaControlAdapter, IMediaControl>(genuine, object);
  if (iid == kIidMediaEvent) return Store<MediaEventAdapter, IMediaEvent>(genuine, object);
  if (iid == kIidPin) return Store<PinAdapter, IPin>(genuine, object);
  if (iid == kIidEnumPins) return Store<EnumPinsAdapter, IEnumPins>(genuine, object);
  // Every genuine interface begins with IUnknown's three methods.
  static_cast<::IUnknown*>(genuine)->Release();
  return kNoInterface;
}

}  // namespace quorvex
