#include "e2e_support.h"

#include <cstdlib>

namespace quorvex::e2e {

std::string QuorvexBinary() {
  const char* binary = std::getenv("QUORVEX_BINARY");
  return binary != nullptr ? binary : "quorvex";
}

CommandResult RunQuorvex(const std::vector<std::string>& arguments, const std::vector<std::string>& extraEnvironment,
                         const std::function<void(int processId)>& whileRunning) {
  std::vector<std::string> argv{QuorvexBinary()};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  return RunCommand(argv, extraEnvironment, whileRunning);
}

}  // namespace quorvex::e2e
