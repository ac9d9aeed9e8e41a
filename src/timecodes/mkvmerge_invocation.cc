#include "timecodes/mkvmerge_invocation.h"

#include "text/file_names.h"

namespace quorvex {
namespace {

constexpr std::string_view kTrackPrefix = "Track ID ";
constexpr std::string_view kVideoMarker = ": video (";

// Reads "N: video (" at the start of `rest`; N must fit 32 bits.
std::optional<uint32_t> VideoTrackId(std::string_view rest) {
  uint64_t id = 0;
  size_t digits = 0;
  while (digits < rest.size() && rest[digits] >= '0' && rest[digits] <= '9') {
    id = id * 10 + static_cast<uint64_t>(rest[digits] - '0');
    if (id > UINT32_MAX) return std::nullopt;
    ++digits;
  }
  if (digits == 0 || rest.substr(digits, kVideoMarker.size()) != kVideoMarker) return std::nullopt;
  return static_cast<uint32_t>(id);
}

}  // namespace

std::string TimecodeFileContents(std::string_view rate) {
  std::string contents = "# timecode format v1\r\nassume ";
  contents += rate;
  contents += "\r\n";
  return contents;
}

std::string TimecodeFileName(std::string_view output) { return ReplaceExtension(output, ".24p.txt"); }

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

std::optional<uint32_t> FirstVideoTrackId(std::string_view identifyOutput) {
  while (!identifyOutput.empty()) {
    const size_t end = identifyOutput.find('\n');
    const std::string_view line = identifyOutput.substr(0, end);
    identifyOutput.remove_prefix(end == std::string_view::npos ? identifyOutput.size() : end + 1);
    if (line.substr(0, kTrackPrefix.size()) != kTrackPrefix) continue;
    if (std::optional<uint32_t> id = VideoTrackId(line.substr(kTrackPrefix.size()))) return id;
  }
  return std::nullopt;
}

}  // namespace quorvex
