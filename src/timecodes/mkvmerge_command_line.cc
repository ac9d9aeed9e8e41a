#include "timecodes/mkvmerge_command_line.h"

namespace quorvex {

std::string RetimeCommandLine(const RetimeInvocation& run) {
  const std::string id = std::to_string(run.videoTrackId);
  return "\"" + run.mkvmergePath + "\" -o \"" + run.output + "\" --timecodes " + id + ":\"" + run.timecodeFile +
         "\"" + " -d " + id + " \"" + run.input + "\"";
}

std::vector<std::string> RetimeArguments(const RetimeInvocation& run) {
  const std::string id = std::to_string(run.videoTrackId);
  // The timecode file follows "N:", so it needs no shield.
  return {run.mkvmergePath, "-o",  ShieldFileArgument(run.output), "--timecodes", id + ":" + run.timecodeFile,
          "-d",             id,    ShieldFileArgument(run.input)};
}

ProcessCommand RetimeCommand(const RetimeInvocation& run) { return {RetimeArguments(run), RetimeCommandLine(run)}; }

ProcessCommand IdentifyCommand(const std::string& mkvmergePath, const std::string& input) {
  return {{mkvmergePath, "--ui-language", "en_US", "--identify", ShieldFileArgument(input)},
          "\"" + mkvmergePath + "\" --ui-language en_US --identify \"" + input + "\""};
}

std::string ShieldFileArgument(std::string_view name) {
  constexpr std::string_view kSyntaxLeaders = "-@+=()";
  if (!name.empty() && kSyntaxLeaders.find(name.front()) != std::string_view::npos) {
    return "./" + std::string(name);
  }
  return std::string(name);
}

}  // namespace quorvex
