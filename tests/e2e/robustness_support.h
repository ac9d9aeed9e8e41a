#ifndef QUORVEX_TESTS_E2E_ROBUSTNESS_SUPPORT_H_
#define QUORVEX_TESTS_E2E_ROBUSTNESS_SUPPORT_H_

// Helpers for the robustness tests: reading streams back with ffprobe and
// bending clean ffmpeg output into the shapes real recordings come in.

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace quorvex::e2e {

struct ProbedStream {
  std::string type;      // "video", "audio", "data", ...
  std::string codec;     // ffprobe's codec_name
  std::string language;  // the language tag, empty when none
  long packets = 0;
  double startTime = 0;  // seconds; 0 when ffprobe gives none
};

// The streams of a file as ffprobe sees them, packets counted. An empty list
// when ffprobe cannot read the file. `format` forces a demuxer ("h264", ...).
std::vector<ProbedStream> ProbeStreams(const std::string& path, const std::string& format = "");

// "video:h264 audio:ac3" for the streams of the given types (all when empty).
std::string StreamKinds(const std::vector<ProbedStream>& streams);
// The video and audio streams that carry packets: a player has nothing to
// choose in an empty track.
std::vector<ProbedStream> VideoAndAudio(const std::vector<ProbedStream>& streams);

// The MD5 of every decoded frame of the first video stream, in order:
// equal lists mean no picture was lost or altered.
std::vector<std::string> VideoFrameHashes(const std::string& path, const std::string& format = "");

void WriteBytes(const std::string& path, const std::string& bytes);
std::string RandomBytes(size_t count, uint32_t seed);

// Copies `count` bytes from `offset` on (to the end when count is npos).
void CopyRange(const std::string& from, const std::string& to, uintmax_t offset, uintmax_t count);

// Overwrites `bytes.size()` bytes at `offset`.
void Overwrite(const std::string& path, uintmax_t offset, const std::string& bytes);

// Puts a DVD navigation pack (system header, PCI and DSI packets in private
// stream 2) in front of every 2048-byte pack that starts a GOP, as a DVD
// authoring tool does; ffmpeg's VOB muxer writes none.
void AddNavigationPacks(const std::string& vob);

// What the tests compare to prove a source was left alone.
struct FileState {
  std::string bytes;
  std::filesystem::file_time_type modified;
  bool operator==(const FileState&) const = default;
};
FileState StateOf(const std::string& path);

// The names in a directory, sorted.
std::vector<std::string> DirectoryNames(const std::filesystem::path& directory);

// The last line of a run's output, empty when there is none.
std::string LastLine(const std::string& output);

}  // namespace quorvex::e2e

#endif  // QUORVEX_TESTS_E2E_ROBUSTNESS_SUPPORT_H_
