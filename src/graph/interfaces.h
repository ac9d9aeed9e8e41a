#ifndef QUORVEX_GRAPH_INTERFACES_H_
#define QUORVEX_GRAPH_INTERFACES_H_

#include <cstdint>

#include "graph/guid.h"
#include "graph/result_codes.h"

namespace quorvex {

// The media graph as the jobs see it: reference-counted objects reached
// through interfaces, every call answering a result code. Backends (the
// libavformat engine, the platform's own filter graph, test doubles) supply
// the objects through a ClassFactory.

class IBaseFilter;

// Opaque media type; the jobs always pass none.
struct TAmMediaType;

enum PinDirection : int32_t { kPinInput = 0, kPinOutput = 1 };

inline constexpr int kMaxPinName = 128;

struct TPinInfo {
  IBaseFilter* pFilter = nullptr;  // a reference the caller gives up
  int32_t dir = kPinInput;
  char16_t achName[kMaxPinName] = {};
};

class IUnknown {
 public:
  virtual HResult QueryInterface(const Guid& iid, void** object) = 0;
  virtual uint32_t AddRef() = 0;
  virtual uint32_t Release() = 0;

 protected:
  ~IUnknown() = default;
};

class IPin : public IUnknown {
 public:
  static constexpr const Guid& kIid = kIidPin;
  virtual HResult Connect(IPin* receivePin, const TAmMediaType* mediaType) = 0;
  virtual HResult QueryPinInfo(TPinInfo* info) = 0;

 protected:
  ~IPin() = default;
};

class IEnumPins : public IUnknown {
 public:
  static constexpr const Guid& kIid = kIidEnumPins;
  // Delivers up to `count` pins, each with a reference the caller gives up.
  virtual HResult Next(uint32_t count, IPin** pins, uint32_t* fetched) = 0;

 protected:
  ~IEnumPins() = default;
};

class IBaseFilter : public IUnknown {
 public:
  static constexpr const Guid& kIid = kIidBaseFilter;
  virtual HResult EnumPins(IEnumPins** enumerator) = 0;
  virtual HResult FindPin(const char16_t* id, IPin** pin) = 0;

 protected:
  ~IBaseFilter() = default;
};

class IFileSourceFilter : public IUnknown {
 public:
  static constexpr const Guid& kIid = kIidFileSourceFilter;
  virtual HResult Load(const char16_t* fileName, const TAmMediaType* mediaType) = 0;

 protected:
  ~IFileSourceFilter() = default;
};

class IFileSinkFilter : public IUnknown {
 public:
  static constexpr const Guid& kIid = kIidFileSinkFilter;
  virtual HResult SetFileName(const char16_t* fileName, const TAmMediaType* mediaType) = 0;

 protected:
  ~IFileSinkFilter() = default;
};

class IMediaControl : public IUnknown {
 public:
  static constexpr const Guid& kIid = kIidMediaControl;
  virtual HResult Run() = 0;

 protected:
  ~IMediaControl() = default;
};

class IMediaEvent : public IUnknown {
 public:
  static constexpr const Guid& kIid = kIidMediaEvent;
  virtual HResult WaitForCompletion(int32_t timeoutMilliseconds, int32_t* eventCode) = 0;

 protected:
  ~IMediaEvent() = default;
};

class IGraphBuilder : public IUnknown {
 public:
  static constexpr const Guid& kIid = kIidGraphBuilder;
  virtual HResult AddFilter(IBaseFilter* filter, const char16_t* name) = 0;

 protected:
  ~IGraphBuilder() = default;
};

// Creates objects by class identifier, as the platform's object registry does.
class ClassFactory {
 public:
  virtual ~ClassFactory() = default;
  virtual HResult CreateInstance(const Guid& clsid, const Guid& iid, void** object) = 0;
};

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_INTERFACES_H_
