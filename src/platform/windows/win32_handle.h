#ifndef QUORVEX_PLATFORM_WINDOWS_WIN32_HANDLE_H_
#define QUORVEX_PLATFORM_WINDOWS_WIN32_HANDLE_H_

#include <windows.h>

#include <utility>

namespace quorvex {

// Owns a kernel handle and closes it when it goes out of scope. Both null
// and INVALID_HANDLE_VALUE mean "no handle", as the creating calls differ.
class Win32Handle {
 public:
  Win32Handle() = default;
  explicit Win32Handle(HANDLE handle) : handle_(handle) {}
  ~Win32Handle() { Close(); }
  Win32Handle(Win32Handle&& other) noexcept : handle_(std::exchange(other.handle_, nullptr)) {}
  Win32Handle& operator=(Win32Handle&& other) noexcept {
    if (this != &other) {
      Close();
      handle_ = std::exchange(other.handle_, nullptr);
    }
    return *this;
  }
  Win32Handle(const Win32Handle&) = delete;
  Win32Handle& operator=(const Win32Handle&) = delete;

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != nullptr && handle_ != INVALID_HANDLE_VALUE; }
  // Closes now and tells whether the system accepted the close.
  bool Close() {
    if (!valid()) return true;
    return CloseHandle(std::exchange(handle_, nullptr)) != FALSE;
  }

 private:
  HANDLE handle_ = nullptr;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_WINDOWS_WIN32_HANDLE_H_
