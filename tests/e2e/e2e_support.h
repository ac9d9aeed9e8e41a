#ifndef QUORVEX_TESTS_E2E_E2E_SUPPORT_H_
#define QUORVEX_TESTS_E2E_E2E_SUPPORT_H_

#include <functional>
#include <string>
#include <vector>

#include "posix_test_support.h"

namespace quorvex::e2e {

using test_support::CommandResult;
using test_support::Lines;
using test_support::ReadFile;
using test_support::RunCommand;
using test_support::RunFfmpeg;
using test_support::ScratchDirectory;

// The quorvex binary under test (from QUORVEX_BINARY, set by the build).
std::string QuorvexBinary();

// Runs quorvex with the given arguments.
CommandResult RunQuorvex(const std::vector<std::string>& arguments,
                         const std::vector<std::string>& extraEnvironment = {},
                         const std::function<void(int processId)>& whileRunning = {});

}  // namespace quorvex::e2e

#endif  // QUORVEX_TESTS_E2E_E2E_SUPPORT_H_
