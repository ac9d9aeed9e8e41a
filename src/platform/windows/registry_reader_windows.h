#ifndef QUORVEX_PLATFORM_WINDOWS_REGISTRY_READER_WINDOWS_H_
#define QUORVEX_PLATFORM_WINDOWS_REGISTRY_READER_WINDOWS_H_

#include "platform/registry_reader.h"

namespace quorvex {

// The registry through RegOpenKeyExA, RegQueryValueExA and RegCloseKey,
// read only: keys are opened with KEY_READ and no registry-view flag.
class WindowsRegistryReader : public RegistryReader {
 public:
  std::optional<Key> OpenKey(RegistryRoot root, const std::string& path) override;
  uint32_t QueryValueSize(Key key, const std::string& valueName) override;
  RegistryQuery QueryValue(Key key, const std::string& valueName, uint8_t* buffer, uint32_t capacity) override;
  void CloseKey(Key key) override;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_WINDOWS_REGISTRY_READER_WINDOWS_H_
