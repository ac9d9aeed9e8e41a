#include "timecodes/registry_string.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <vector>

namespace quorvex {
namespace {

// Closes the key on every path out.
class OpenedKey {
 public:
  OpenedKey(RegistryReader& registry, RegistryReader::Key key) : registry_(registry), key_(key) {}
  ~OpenedKey() { registry_.CloseKey(key_); }
  OpenedKey(const OpenedKey&) = delete;
  OpenedKey& operator=(const OpenedKey&) = delete;
  RegistryReader::Key get() const { return key_; }

 private:
  RegistryReader& registry_;
  RegistryReader::Key key_;
};

}  // namespace

std::string ReadRegString(RegistryReader& registry, RegistryRoot root, const std::string& keyPath,
                          const std::string& valueName) {
  const std::optional<RegistryReader::Key> opened = registry.OpenKey(root, keyPath);
  if (!opened) return {};
  OpenedKey key(registry, *opened);

  const uint32_t size = registry.QueryValueSize(key.get(), valueName);
  if (size == 0) return {};

  // Twice the reported size, zero-filled: a string stored without its
  // terminating zero, or one that grew between the two queries, still ends
  // in zero bytes inside the buffer.
  const uint64_t capacity = std::min<uint64_t>(uint64_t{size} * 2, UINT32_MAX);
  std::vector<uint8_t> buffer(static_cast<size_t>(capacity), 0);
  const RegistryQuery query =
      registry.QueryValue(key.get(), valueName, buffer.data(), static_cast<uint32_t>(buffer.size()));
  if (query.status != 0) return {};

  const char* data = reinterpret_cast<const char*>(buffer.data());
  if (query.type == kRegSz) {
    const auto zero = std::find(buffer.begin(), buffer.end(), uint8_t{0});
    return std::string(data, static_cast<size_t>(zero - buffer.begin()));
  }
  // A reader that reports more than it was given room for is not believed.
  return std::string(data, std::min<size_t>(query.bytesStored, buffer.size()));
}

}  // namespace quorvex
