#include "timecodes/track_identification.h"

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
