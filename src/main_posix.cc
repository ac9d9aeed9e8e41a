// Program entry on POSIX: builds the platform's services and runs the program.
#include <malloc.h>
#include <signal.h>

#include <memory>
#include <string>
#include <vector>

#include "cli/program.h"
#include "graph/engine/engine_class_factory.h"
#include "platform/posix/file_system_posix.h"
#include "platform/posix/mkvmerge_path_search.h"
#include "platform/posix/process_runner_posix.h"
#include "platform/posix/standard_streams_posix.h"

int main(int argc, char** argv) {
  using namespace quorvex;
  // A closed pipe must come back as a failed write, which the program
  // reports, not as a silent death by signal.
  ::signal(SIGPIPE, SIG_IGN);
#ifdef M_ARENA_MAX
  // The media engine allocates packets on its reading thread and frees them
  // on its writing thread; with one arena the freed memory is reused instead
  // of piling up per thread, so memory stays flat however long the source.
  ::mallopt(M_ARENA_MAX, 1);
#endif

  // Empty elements are the pairs of quotes that make no argument.
  std::vector<std::string> arguments;
  for (int i = 1; i < argc; ++i) {
    if (argv[i][0] != '\0') arguments.emplace_back(argv[i]);
  }

  PosixStandardOutput standardOutput;
  Console console(standardOutput, NativeLineEnd());
  return RunReportingAbnormalEnd(
      console, "quorvex",
      [&] {
        PosixFileSystem files;
        PosixProcessRunner processes;
        MkvmergePathSearch registry;
        std::unique_ptr<ClassFactory> graphObjects = CreateEngineClassFactory();
        ProgramServices services{console, files, processes, registry, *graphObjects};
        return RunProgram(arguments, services);
      },
      [](const std::string& line) { WriteErrorLine(line); });
}
