// Stands in for mkvmerge.exe in the Windows tests. It appends the exact
// command line it received (GetCommandLineA) to calls.log in its own folder
// and acts as fake_mkvmerge.ini there says:
//   exit=N     exit code of a re-time run (default 0)
//   output=0|1 whether a re-time run writes the output file (default 1)
//   track=N    ID of the film-rate video track that -J lists (default 1)
// A re-time run also keeps a copy of the timecode file as timecodes.received,
// since the tool deletes the original as soon as mkvmerge has ended.
#include <windows.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "cli/command_line_splitter.h"

namespace {

std::string OwnFolder() {
  char path[MAX_PATH] = {};
  std::string name(path, GetModuleFileNameA(nullptr, path, MAX_PATH));
  return name.substr(0, name.find_last_of('\\') + 1);
}

std::map<std::string, std::string> ReadSettings(const std::string& file) {
  std::map<std::string, std::string> settings{{"exit", "0"}, {"output", "1"}, {"track", "1"}};
  std::ifstream in(file);
  for (std::string line; std::getline(in, line);) {
    const size_t equals = line.find('=');
    if (equals != std::string::npos) settings[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return settings;
}

void Print(const std::string& text) {
  DWORD written = 0;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string ArgumentAfter(const std::vector<std::string>& arguments, const std::string& option) {
  for (size_t i = 0; i + 1 < arguments.size(); ++i) {
    if (arguments[i] == option) return arguments[i + 1];
  }
  return {};
}

}  // namespace

int main() {
  const std::string folder = OwnFolder();
  const std::string commandLine = GetCommandLineA();
  std::ofstream(folder + "calls.log", std::ios::app | std::ios::binary) << commandLine << "\n";
  std::map<std::string, std::string> settings = ReadSettings(folder + "fake_mkvmerge.ini");
  const std::vector<std::string> arguments = quorvex::SplitCommandLine(commandLine, nullptr);

  const bool identify = std::find(arguments.begin(), arguments.end(), "-J") != arguments.end();
  if (identify) {
    Print("{\"tracks\": [{\"id\": " + settings["track"] +
          ", \"type\": \"video\", \"properties\": {\"default_duration\": 41708333}},\r\n");
    Print("  {\"id\": 9, \"type\": \"audio\", \"properties\": {}}]}\r\n");
    return 0;
  }

  if (ArgumentAfter(arguments, "-o").empty()) return 2;
  Print("mkvmerge stand-in: re-timing\r\n");
  // "--timecodes N:file": the file follows the first colon.
  const std::string timecodes = ArgumentAfter(arguments, "--timecodes");
  const std::string timecodeFile = timecodes.substr(timecodes.find(':') + 1);
  std::ifstream received(timecodeFile, std::ios::binary);
  std::ostringstream bytes;
  bytes << received.rdbuf();
  std::ofstream(folder + "timecodes.received", std::ios::binary) << bytes.str();
  if (settings["output"] == "1") std::ofstream(ArgumentAfter(arguments, "-o"), std::ios::binary) << "retimed";
  return static_cast<int>(std::strtoul(settings["exit"].c_str(), nullptr, 0));
}
