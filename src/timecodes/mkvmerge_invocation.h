#ifndef QUORVEX_TIMECODES_MKVMERGE_INVOCATION_H_
#define QUORVEX_TIMECODES_MKVMERGE_INVOCATION_H_

// Everything the re-timing job hands to mkvmerge and reads back from it: the
// timecode file, the two command lines and the track listing.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process_runner.h"

namespace quorvex {

// mkvmerge's "timecode format v1" declaring one constant rate: two lines,
// each ended by CR LF, no byte-order mark.
std::string TimecodeFileContents(std::string_view rate);

// The timecode file lies beside the output and is named after it; the
// suffix is ".24p.txt" whatever the rate.
std::string TimecodeFileName(std::string_view output);

// One mkvmerge run that copies `input` into `output` with the timecode file
// applied to the video track, which is also the only video track copied.
struct RetimeInvocation {
  std::string mkvmergePath;
  std::string output;
  std::string timecodeFile;
  std::string input;
  uint32_t videoTrackId = 0;
};

// The Windows command line: each name inside double quotes exactly as it
// stands, the items separated by single blanks.
std::string RetimeCommandLine(const RetimeInvocation& run);
// The same items as an argument vector, for starting without a shell.
std::vector<std::string> RetimeArguments(const RetimeInvocation& run);
// Both forms, for whichever platform starts it.
ProcessCommand RetimeCommand(const RetimeInvocation& run);

// Lists the tracks of `input` as JSON ("mkvmerge -J"), whose keys mkvmerge
// never translates.
ProcessCommand IdentifyCommand(const std::string& mkvmergePath, const std::string& input);

// A video track as the listing describes it. mkvmerge has numbered tracks
// from 1 in old versions and from 0 in current ones, so the ID is read,
// never assumed.
struct VideoTrack {
  uint32_t id = 0;
  // Nanoseconds per frame; absent when the file declares no constant rate.
  std::optional<uint64_t> frameDuration;
};

// What a listing says about the video: whether it could be read at all, and
// its first video track, if there is one.
struct TrackListing {
  bool readable = false;
  std::optional<VideoTrack> firstVideo;
};
TrackListing ReadTrackListing(std::string_view identifyJson);

// mkvmerge reads some leading characters of an argument as syntax of its
// own: "@" names an option file, "+" appends, "=" and parentheses change how
// files are read, "-" starts an option. A relative name that begins with one
// of them gets "./" in front, which names the same file.
std::string ShieldFileArgument(std::string_view name);

}  // namespace quorvex

#endif  // QUORVEX_TIMECODES_MKVMERGE_INVOCATION_H_
