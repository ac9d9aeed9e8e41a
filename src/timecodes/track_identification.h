#ifndef QUORVEX_TIMECODES_TRACK_IDENTIFICATION_H_
#define QUORVEX_TIMECODES_TRACK_IDENTIFICATION_H_

#include <cstdint>
#include <optional>
#include <string_view>

namespace quorvex {

// The ID of the first video track listed by `mkvmerge --identify`, from its
// lines "Track ID N: video (...)"; nullopt when there is none. mkvmerge has
// numbered tracks from 1 in old versions and from 0 in current ones, so the
// ID is read, never assumed.
std::optional<uint32_t> FirstVideoTrackId(std::string_view identifyOutput);

}  // namespace quorvex

#endif  // QUORVEX_TIMECODES_TRACK_IDENTIFICATION_H_
