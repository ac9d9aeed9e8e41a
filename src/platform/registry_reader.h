#ifndef QUORVEX_PLATFORM_REGISTRY_READER_H_
#define QUORVEX_PLATFORM_REGISTRY_READER_H_

#include <cstdint>
#include <optional>
#include <string>

namespace quorvex {

enum class RegistryRoot { kCurrentUser, kLocalMachine };

constexpr uint32_t kRegSz = 1;  // value type of a plain string

struct RegistryQuery {
  int32_t status = 0;        // 0 on success
  uint32_t type = 0;         // value type
  uint32_t bytesStored = 0;  // bytes written into the buffer
};

// Read-only access to the registry at the level of its calls, so that the
// reading rules above it are the program's own and testable.
class RegistryReader {
 public:
  using Key = uintptr_t;
  virtual ~RegistryReader() = default;
  // Opens a key for reading; nullopt when it cannot be opened.
  virtual std::optional<Key> OpenKey(RegistryRoot root, const std::string& path) = 0;
  // Size query: the value's data size in bytes, 0 when absent or empty.
  virtual uint32_t QueryValueSize(Key key, const std::string& valueName) = 0;
  // Data query into a buffer of `capacity` bytes.
  virtual RegistryQuery QueryValue(Key key, const std::string& valueName, uint8_t* buffer, uint32_t capacity) = 0;
  virtual void CloseKey(Key key) = 0;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_REGISTRY_READER_H_
