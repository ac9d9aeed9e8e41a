#ifndef QUORVEX_CLI_PROGRAM_H_
#define QUORVEX_CLI_PROGRAM_H_

#include <functional>
#include <string>
#include <vector>

#include "graph/interfaces.h"
#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/process_runner.h"
#include "platform/registry_reader.h"

namespace quorvex {

// Everything a run needs of its platform, made by the platform's entry point.
struct ProgramServices {
  Console& console;
  FileSystem& files;
  ProcessRunner& processes;
  RegistryReader& registry;
  ClassFactory& graphObjects;
};

// The whole program after start-up: runs the driver with the real jobs and
// answers the exit code. Abnormal termination leaves as AbnormalTermination,
// after every resource of the run has been released.
int RunProgram(const std::vector<std::string>& arguments, ProgramServices& services);

// Answers the exit code of `run`. An abnormal termination, or any other error
// that escapes it, ends the run instead: the console's buffered lines are
// written out and `reportLine` gets the one-line report naming `module`;
// the exit code is then 1.
int RunReportingAbnormalEnd(Console& console, const std::string& module, const std::function<int()>& run,
                            const std::function<void(const std::string&)>& reportLine);

}  // namespace quorvex

#endif  // QUORVEX_CLI_PROGRAM_H_
