#include "platform/abnormal_termination.h"

#include <cstdint>
#include <cstdio>

namespace quorvex {

AbnormalTermination::AbnormalTermination(std::string kind, const std::string& message)
    : std::runtime_error(message),
      kind_(std::move(kind)),
      faultAddress_(__builtin_extract_return_addr(__builtin_return_address(0))) {}

std::string DescribeAbnormalTermination(const AbnormalTermination& error, const std::string& module) {
  char address[2 + 16 + 1];
  std::snprintf(address, sizeof address, "%016llX",
                static_cast<unsigned long long>(reinterpret_cast<uintptr_t>(error.faultAddress())));
  return "Exception " + error.kind() + " in module " + module + " at " + address + ": " + error.what();
}

}  // namespace quorvex
