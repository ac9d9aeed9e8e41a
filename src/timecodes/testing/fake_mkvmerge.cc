// A stand-in for mkvmerge in tests, found through PATH under the name
// "mkvmerge". It honours what the re-timing job relies on: the command line,
// the exit code and whether the output exists. Scripted by environment:
//   FAKE_MKVMERGE_LOG             file to which each run appends its arguments
//                                 (each ended by a zero byte, the run by "\n")
//   FAKE_MKVMERGE_TRACKS          what -J prints (default: film-rate video 0, audio 1)
//   FAKE_MKVMERGE_IDENTIFY_EXIT   exit code of -J (default 0)
//   FAKE_MKVMERGE_EXIT            exit code of a re-timing run (default 0)
//   FAKE_MKVMERGE_WRITE_OUTPUT    "0": the -o file is not written
//   FAKE_MKVMERGE_INTERRUPT       "1": sends SIGINT, SIGTERM and SIGHUP to its parent first
//   FAKE_MKVMERGE_SIGNAL          a signal for a re-timing run to die of instead of exiting
// The output it writes is the timecode file it was given followed by its
// input, so tests can see both.
#include <signal.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <iostream>
#include <iterator>
#include <string>
#include <vector>

namespace {

std::string Environment(const char* name, const std::string& fallback) {
  const char* value = std::getenv(name);
  return value != nullptr ? value : fallback;
}

std::string ReadFile(const std::string& name) {
  std::ifstream file(name, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
}

// Only a re-timing run dies of the scripted signal.
int Finish(int exitCode, bool retiming) {
  std::cout.flush();
  if (!retiming) return exitCode;
  const int signal = std::atoi(Environment("FAKE_MKVMERGE_SIGNAL", "0").c_str());
  if (signal > 0) {
    ::signal(signal, SIG_DFL);
    ::raise(signal);
  }
  return exitCode;
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> arguments(argv + 1, argv + argc);
  const std::string log = Environment("FAKE_MKVMERGE_LOG", "");
  if (!log.empty()) {
    std::ofstream record(log, std::ios::binary | std::ios::app);
    for (const std::string& argument : arguments) record << argument << '\0';
    record << '\n';
  }
  if (Environment("FAKE_MKVMERGE_INTERRUPT", "") == "1") {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) ::kill(::getppid(), signal);
  }

  for (const std::string& argument : arguments) {
    if (argument == "-J") {
      std::cout << Environment("FAKE_MKVMERGE_TRACKS",
                               R"({"tracks":[{"id":0,"type":"video","properties":{"default_duration":41708333}},)"
                               R"({"id":1,"type":"audio","properties":{}}]})");
      return Finish(std::atoi(Environment("FAKE_MKVMERGE_IDENTIFY_EXIT", "0").c_str()), false);
    }
  }

  std::string output;
  std::string timecodes;
  for (size_t i = 0; i + 1 < arguments.size(); ++i) {
    if (arguments[i] == "-o") output = arguments[i + 1];
    if (arguments[i] == "--timecodes") timecodes = arguments[i + 1].substr(arguments[i + 1].find(':') + 1);
  }
  const std::string input = arguments.empty() ? std::string() : arguments.back();
  std::cout << "fake mkvmerge: writing '" << output << "'" << std::endl;
  if (Environment("FAKE_MKVMERGE_WRITE_OUTPUT", "1") != "0" && !output.empty()) {
    std::ofstream(output, std::ios::binary) << ReadFile(timecodes) << ReadFile(input);
  }
  return Finish(std::atoi(Environment("FAKE_MKVMERGE_EXIT", "0").c_str()), true);
}
