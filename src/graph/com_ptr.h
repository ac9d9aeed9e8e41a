#ifndef QUORVEX_GRAPH_COM_PTR_H_
#define QUORVEX_GRAPH_COM_PTR_H_

#include <utility>

#include "graph/interfaces.h"

namespace quorvex {

// Owns one reference to an interface and gives it up when it goes out of scope.
template <class T>
class ComPtr {
 public:
  ComPtr() = default;
  ComPtr(std::nullptr_t) {}
  ComPtr(const ComPtr& other) : ptr_(other.ptr_) {
    if (ptr_ != nullptr) ptr_->AddRef();
  }
  ComPtr(ComPtr&& other) noexcept : ptr_(std::exchange(other.ptr_, nullptr)) {}
  ComPtr& operator=(ComPtr other) noexcept {
    std::swap(ptr_, other.ptr_);
    return *this;
  }
  ~ComPtr() { Reset(); }

  // Takes over a reference the caller already holds.
  static ComPtr Adopt(T* ptr) {
    ComPtr result;
    result.ptr_ = ptr;
    return result;
  }
  // Takes a new reference of its own.
  static ComPtr Share(T* ptr) {
    if (ptr != nullptr) ptr->AddRef();
    return Adopt(ptr);
  }

  T* Get() const { return ptr_; }
  T* operator->() const { return ptr_; }
  explicit operator bool() const { return ptr_ != nullptr; }

  // For calls that hand out a reference through an out parameter.
  T** Put() {
    Reset();
    return &ptr_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }

  void Reset() {
    if (ptr_ != nullptr) std::exchange(ptr_, nullptr)->Release();
  }
  T* Detach() { return std::exchange(ptr_, nullptr); }

 private:
  T* ptr_ = nullptr;
};

// Asks `object` for interface U.
template <class U, class T>
HResult QueryInterfaceFor(T* object, ComPtr<U>& out) {
  return object->QueryInterface(U::kIid, out.PutVoid());
}

// Creates an object of class `clsid` through `factory` as interface U.
template <class U>
HResult CreateInstanceOf(ClassFactory& factory, const Guid& clsid, ComPtr<U>& out) {
  return factory.CreateInstance(clsid, U::kIid, out.PutVoid());
}

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_COM_PTR_H_
