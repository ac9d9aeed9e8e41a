#include "robustness_support.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <random>

#include <gtest/gtest.h>

#include "e2e_support.h"

namespace quorvex::e2e {
namespace {

std::string Unquoted(std::string value) {
  if (value.size() >= 2 && value.front() == '"' && value.back() == '"') value = value.substr(1, value.size() - 2);
  return value;
}

constexpr size_t kPackSize = 2048;

bool StartsPack(const std::string& bytes, size_t at) {
  return bytes.compare(at, 4, std::string("\x00\x00\x01\xBA", 4)) == 0;
}

// 2048 bytes: the pack header of the pack it precedes (same clock
// reference), the system header a DVD repeats there, then PCI (substream 0)
// and DSI (substream 1), both zero-filled.
std::string NavigationPack(const std::string& packHeader) {
  std::string pack = packHeader;
  pack.resize(14);
  pack[13] = static_cast<char>(pack[13] & ~0x07);  // no stuffing bytes
  pack += std::string(
      "\x00\x00\x01\xBB\x00\x12\x80\xC4\xE1\x00\xE1\xFF"
      "\xB9\xE0\xE8\xB8\xC0\x20\xBD\xE0\x3A\xBF\xE0\x02",
      24);
  auto privateStream2 = [&](uint16_t length, char substream) {
    pack += std::string("\x00\x00\x01\xBF", 4);
    pack += static_cast<char>(length >> 8);
    pack += static_cast<char>(length & 0xFF);
    pack += substream;
    pack += std::string(length - 1u, '\0');
  };
  privateStream2(980, '\x00');
  privateStream2(1018, '\x01');
  return pack;
}

}  // namespace

std::vector<ProbedStream> ProbeStreams(const std::string& path, const std::string& format) {
  std::vector<std::string> command{"ffprobe", "-v", "error", "-count_packets"};
  if (!format.empty()) command.insert(command.end(), {"-f", format});
  command.insert(command.end(),
                 {"-show_entries", "stream=codec_type,codec_name,nb_read_packets,start_time:stream_tags=language",
                  "-of", "flat", path});
  const CommandResult result = RunCommand(command);
  if (result.exitCode != 0) return {};
  std::map<int, ProbedStream> streams;
  const std::string prefix = "streams.stream.";
  for (const std::string& line : Lines(result.output)) {
    if (line.rfind(prefix, 0) != 0) continue;
    const size_t indexEnd = line.find('.', prefix.size());
    const size_t equals = line.find('=');
    if (indexEnd == std::string::npos || equals == std::string::npos) continue;
    ProbedStream& stream = streams[std::stoi(line.substr(prefix.size(), indexEnd - prefix.size()))];
    const std::string key = line.substr(indexEnd + 1, equals - indexEnd - 1);
    const std::string value = Unquoted(line.substr(equals + 1));
    if (key == "codec_type") stream.type = value;
    if (key == "codec_name") stream.codec = value;
    if (key == "tags.language") stream.language = value;
    if (key == "nb_read_packets" && value != "N/A") stream.packets = std::stol(value);
    if (key == "start_time" && value != "N/A") stream.startTime = std::stod(value);
  }
  std::vector<ProbedStream> list;
  for (auto& [index, stream] : streams) list.push_back(stream);
  return list;
}

std::string StreamKinds(const std::vector<ProbedStream>& streams) {
  std::string kinds;
  for (const ProbedStream& stream : streams) kinds += (kinds.empty() ? "" : " ") + stream.type + ":" + stream.codec;
  return kinds;
}

std::vector<ProbedStream> VideoAndAudio(const std::vector<ProbedStream>& streams) {
  std::vector<ProbedStream> wanted;
  std::copy_if(streams.begin(), streams.end(), std::back_inserter(wanted),
               [](const ProbedStream& s) { return (s.type == "video" || s.type == "audio") && s.packets > 0; });
  return wanted;
}

std::vector<std::string> VideoFrameHashes(const std::string& path, const std::string& format) {
  std::vector<std::string> command{"ffmpeg", "-nostdin", "-v", "error"};
  if (!format.empty()) command.insert(command.end(), {"-f", format});
  command.insert(command.end(), {"-i", path, "-map", "0:v:0", "-f", "framemd5", "-"});
  const CommandResult result = RunCommand(command);
  std::vector<std::string> hashes;
  for (const std::string& line : Lines(result.output)) {
    if (line.empty() || line[0] == '#') continue;
    hashes.push_back(line.substr(line.rfind(',') + 1));
  }
  return hashes;
}

void WriteBytes(const std::string& path, const std::string& bytes) {
  std::ofstream file(path, std::ios::binary | std::ios::trunc);
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(file.good()) << "cannot write " << path;
}

std::string RandomBytes(size_t count, uint32_t seed) {
  std::mt19937 generator(seed);
  std::string bytes(count, '\0');
  for (char& byte : bytes) byte = static_cast<char>(generator() & 0xFF);
  return bytes;
}

void CopyRange(const std::string& from, const std::string& to, uintmax_t offset, uintmax_t count) {
  const std::string bytes = ReadFile(from);
  ASSERT_LE(offset, bytes.size());
  WriteBytes(to, bytes.substr(static_cast<size_t>(offset), static_cast<size_t>(std::min<uintmax_t>(count, SIZE_MAX))));
}

void Overwrite(const std::string& path, uintmax_t offset, const std::string& bytes) {
  std::fstream file(path, std::ios::binary | std::ios::in | std::ios::out);
  file.seekp(static_cast<std::streamoff>(offset));
  file.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  ASSERT_TRUE(file.good()) << "cannot overwrite " << path;
}

void AddNavigationPacks(const std::string& vob) {
  const std::string bytes = ReadFile(vob);
  ASSERT_EQ(bytes.size() % kPackSize, 0u) << vob << " is not made of 2048-byte packs";
  const std::string sequenceHeader("\x00\x00\x01\xB3", 4);
  std::string result;
  for (size_t at = 0; at < bytes.size(); at += kPackSize) {
    ASSERT_TRUE(StartsPack(bytes, at)) << "no pack header at " << at;
    const std::string pack = bytes.substr(at, kPackSize);
    if (pack.find(sequenceHeader) != std::string::npos) result += NavigationPack(pack);
    result += pack;
  }
  WriteBytes(vob, result);
}

FileState StateOf(const std::string& path) {
  std::error_code ignored;
  return {ReadFile(path), std::filesystem::last_write_time(path, ignored)};
}

std::vector<std::string> DirectoryNames(const std::filesystem::path& directory) {
  std::vector<std::string> names;
  std::error_code ignored;
  for (const auto& entry : std::filesystem::directory_iterator(directory, ignored)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

std::string LastLine(const std::string& output) {
  const std::vector<std::string> lines = Lines(output);
  return lines.empty() ? std::string() : lines.back();
}

}  // namespace quorvex::e2e
