// TEMPORARY placeholder until the engine lands; replaced wholesale.
#include "graph/engine/engine_class_factory.h"

namespace quorvex {
namespace {
class NoClasses : public ClassFactory {
 public:
  HResult CreateInstance(const Guid&, const Guid&, void** object) override {
    *object = nullptr;
    return kClassNotRegistered;
  }
};
}  // namespace

std::unique_ptr<ClassFactory> CreateEngineClassFactory() { return std::make_unique<NoClasses>(); }

}  // namespace quorvex
