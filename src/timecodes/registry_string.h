#ifndef QUORVEX_TIMECODES_REGISTRY_STRING_H_
#define QUORVEX_TIMECODES_REGISTRY_STRING_H_

#include <string>

#include "platform/registry_reader.h"

namespace quorvex {

// The data of one registry value as text; empty when the key cannot be
// opened, the value is absent or empty, or reading it fails. A plain string
// ends at its first zero byte; any other type keeps every byte the system
// reports, zero bytes included. Prints nothing.
std::string ReadRegString(RegistryReader& registry, RegistryRoot root, const std::string& keyPath,
                          const std::string& valueName);

}  // namespace quorvex

#endif  // QUORVEX_TIMECODES_REGISTRY_STRING_H_
