#ifndef QUORVEX_CLI_RUN_DRIVER_H_
#define QUORVEX_CLI_RUN_DRIVER_H_

#include <string>
#include <vector>

#include "cli/jobs.h"
#include "platform/console.h"
#include "platform/file_system.h"

namespace quorvex {

// One whole run: parses the arguments, checks the names, chooses and runs
// exactly one job and answers the process exit code (0 only after "Done.").
int RunDriver(const std::vector<std::string>& arguments, Jobs& jobs, FileSystem& files, Console& console);

}  // namespace quorvex

#endif  // QUORVEX_CLI_RUN_DRIVER_H_
