#ifndef QUORVEX_PLATFORM_POSIX_REGISTRY_READER_POSIX_H_
#define QUORVEX_PLATFORM_POSIX_REGISTRY_READER_POSIX_H_

#include "platform/registry_reader.h"

namespace quorvex {

// POSIX has no registry; the place where programs are installed is PATH.
class PosixRegistryReader : public RegistryReader {
 public:
  std::optional<Key> OpenKey(RegistryRoot root, const std::string& path) override;
  uint32_t QueryValueSize(Key key, const std::string& valueName) override;
  RegistryQuery QueryValue(Key key, const std::string& valueName, uint8_t* buffer, uint32_t capacity) override;
  void CloseKey(Key key) override;
};

}  // namespace quorvex

#endif  // QUORVEX_PLATFORM_POSIX_REGISTRY_READER_POSIX_H_
