#ifndef QUORVEX_GRAPH_REF_COUNTED_H_
#define QUORVEX_GRAPH_REF_COUNTED_H_

#include <atomic>
#include <cstdint>
#include <memory>

namespace quorvex {

// The reference count of an object of ours behind the graph interfaces.
// Objects are made by MakeRefCounted with a count of one and destroy
// themselves through ReleaseReference when the last reference goes.
class ReferenceCount {
 public:
  uint32_t Increment() { return ++count_; }
  uint32_t Decrement() { return --count_; }

 private:
  std::atomic<uint32_t> count_{1};
};

template <class T>
uint32_t ReleaseReference(T* self, ReferenceCount& count) {
  const uint32_t left = count.Decrement();
  if (left == 0) std::unique_ptr<T> owner(self);  // the last reference destroys the object
  return left;
}

// Creates an object holding one reference, which the caller adopts.
template <class T, class... Args>
T* MakeRefCounted(Args&&... args) {
  return std::make_unique<T>(std::forward<Args>(args)...).release();
}

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_REF_COUNTED_H_
