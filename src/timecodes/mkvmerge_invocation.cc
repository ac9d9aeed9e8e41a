#include "timecodes/mkvmerge_invocation.h"

#include <nlohmann/json.hpp>

#include "text/file_names.h"

namespace quorvex {
namespace {

// Reads an unsigned number that fits `limit`; nullopt for anything else.
std::optional<uint64_t> UnsignedField(const nlohmann::json& object, const char* key, uint64_t limit) {
  const auto field = object.find(key);
  if (field == object.end() || !field->is_number_unsigned()) return std::nullopt;
  const uint64_t value = field->get<uint64_t>();
  if (value > limit) return std::nullopt;
  return value;
}

std::optional<VideoTrack> ReadVideoTrack(const nlohmann::json& track) {
  if (!track.is_object()) return std::nullopt;
  const auto type = track.find("type");
  if (type == track.end() || !type->is_string() || type->get_ref<const std::string&>() != "video") return std::nullopt;
  const std::optional<uint64_t> id = UnsignedField(track, "id", UINT32_MAX);
  if (!id) return std::nullopt;
  VideoTrack video{static_cast<uint32_t>(*id), std::nullopt};
  const auto properties = track.find("properties");
  if (properties != track.end() && properties->is_object()) {
    video.frameDuration = UnsignedField(*properties, "default_duration", UINT64_MAX);
    if (video.frameDuration == 0u) video.frameDuration.reset();
  }
  return video;
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
  return "\"" + run.mkvmergePath + "\" -o \"" + run.output + "\" --timecodes " + id + ":\"" + run.timecodeFile + "\"" +
         " -d " + id + " \"" + run.input + "\"";
}

std::vector<std::string> RetimeArguments(const RetimeInvocation& run) {
  const std::string id = std::to_string(run.videoTrackId);
  // The timecode file follows "N:", so it needs no shield.
  return {run.mkvmergePath,
          "-o",
          ShieldFileArgument(run.output),
          "--timecodes",
          id + ":" + run.timecodeFile,
          "-d",
          id,
          ShieldFileArgument(run.input)};
}

ProcessCommand RetimeCommand(const RetimeInvocation& run) { return {RetimeArguments(run), RetimeCommandLine(run)}; }

ProcessCommand IdentifyCommand(const std::string& mkvmergePath, const std::string& input) {
  return {{mkvmergePath, "-J", ShieldFileArgument(input)}, "\"" + mkvmergePath + "\" -J \"" + input + "\""};
}

std::string ShieldFileArgument(std::string_view name) {
  constexpr std::string_view kSyntaxLeaders = "-@+=()";
  if (!name.empty() && kSyntaxLeaders.find(name.front()) != std::string_view::npos) {
    return "./" + std::string(name);
  }
  return std::string(name);
}

TrackListing ReadTrackListing(std::string_view identifyJson) {
  // Parsed without exceptions: a listing that is not JSON is simply unreadable.
  const nlohmann::json listing = nlohmann::json::parse(identifyJson, nullptr, false);
  if (listing.is_discarded() || !listing.is_object()) return {};
  const auto tracks = listing.find("tracks");
  if (tracks == listing.end() || !tracks->is_array()) return {};
  TrackListing result{true, std::nullopt};
  for (const nlohmann::json& track : *tracks) {
    if (track.is_object() && track.find("type") != track.end() && track["type"] == "video") {
      result.firstVideo = ReadVideoTrack(track);
      // A first video track without a usable ID cannot be re-timed.
      if (!result.firstVideo) result.readable = false;
      break;
    }
  }
  return result;
}

}  // namespace quorvex
