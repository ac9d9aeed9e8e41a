// TEMPORARY placeholder until the registry stand-in lands; replaced wholesale.
#include "platform/posix/registry_reader_posix.h"

namespace quorvex {
std::optional<RegistryReader::Key> PosixRegistryReader::OpenKey(RegistryRoot, const std::string&) { return std::nullopt; }
uint32_t PosixRegistryReader::QueryValueSize(Key, const std::string&) { return 0; }
RegistryQuery PosixRegistryReader::QueryValue(Key, const std::string&, uint8_t*, uint32_t) { return {2, 0, 0}; }
void PosixRegistryReader::CloseKey(Key) {}
}  // namespace quorvex
