#include "graph/directshow/directshow_class_factory.h"

#include <objbase.h>
#include <windows.h>

#include "graph/directshow/directshow_adapters.h"

namespace quorvex {
namespace {

// In-process server, in-process handler, local server.
constexpr DWORD kClassContext = CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;
static_assert(kClassContext == 7);

class DirectShowClassFactory : public ClassFactory {
 public:
  HResult CreateInstance(const Guid& clsid, const Guid& iid, void** object) override {
    if (object == nullptr) return kPointer;
    *object = nullptr;
    const GUID classId = ToPlatformGuid(clsid);
    const GUID interfaceId = ToPlatformGuid(iid);
    void* genuine = nullptr;
    const HRESULT result = CoCreateInstance(classId, nullptr, kClassContext, interfaceId, &genuine);
    if (result != S_OK) {
      if (genuine != nullptr) static_cast<::IUnknown*>(genuine)->Release();
      return static_cast<HResult>(result);
    }
    return AdaptGenuineObject(iid, genuine, object);
  }
};

}  // namespace

std::unique_ptr<ClassFactory> CreateDirectShowClassFactory() { return std::make_unique<DirectShowClassFactory>(); }

}  // namespace quorvex
