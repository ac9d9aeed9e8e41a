// Damaged sources: the run reports where the damage lies on standard error,
// reads on past it where the format lets a reader find its way back, and
// fails rather than end quietly with part of the media missing. Fixtures are
// clean ffmpeg output with bytes broken in place; the results are checked
// with ffprobe.
#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e_support.h"
#include "robustness_support.h"

namespace quorvex::e2e {
namespace {

namespace fs = std::filesystem;

using Arguments = std::vector<std::string>;

const char kDone[] = "Done.";
const char kErrorAbort[] = "An error ocurred during muxing.";

// Six seconds of H.264 (a keyframe a second) and AC-3 in Matroska.
void MakeMatroska(const std::string& path, const std::string& seconds) {
  RunFfmpeg({"-f",       "lavfi",     "-i",   "testsrc2=size=320x240:rate=25",
             "-f",       "lavfi",     "-i",   "sine=sample_rate=48000",
             "-t",       seconds,     "-c:v", "libx264",
             "-preset",  "superfast", "-g",   "25",
             "-pix_fmt", "yuv420p",   "-c:a", "ac3",
             "-b:a",     "128k",      path});
}

uint64_t ReadElementSize(const std::string& bytes, size_t at, size_t* length) {
  const auto first = static_cast<unsigned char>(bytes.at(at));
  size_t count = 1;
  while (count <= 8 && (first & (0x80u >> (count - 1))) == 0) ++count;
  uint64_t value = first & ((0x80u >> (count - 1)) - 1);
  for (size_t i = 1; i < count; ++i) value = (value << 8) | static_cast<unsigned char>(bytes.at(at + i));
  *length = count;
  return value;
}

struct Cluster {
  size_t start = 0;       // offset of the cluster's ID
  size_t firstBlock = 0;  // offset of its first block's ID
};

// The clusters of a Matroska file and where each one's first block lies.
std::vector<Cluster> FindClusters(const std::string& bytes) {
  const std::string clusterId("\x1F\x43\xB6\x75", 4);
  std::vector<Cluster> clusters;
  for (size_t at = bytes.find(clusterId); at != std::string::npos; at = bytes.find(clusterId, at + 4)) {
    size_t length = 0;
    ReadElementSize(bytes, at + 4, &length);
    size_t child = at + 4 + length;
    // Children of a cluster: one-byte IDs (time code E7, SimpleBlock A3,
    // BlockGroup A0) as ffmpeg writes them.
    while (child < bytes.size()) {
      const auto id = static_cast<unsigned char>(bytes[child]);
      if (id == 0xA3 || id == 0xA0) break;
      size_t sizeLength = 0;
      const uint64_t size = ReadElementSize(bytes, child + 1, &sizeLength);
      child += 1 + sizeLength + size;
    }
    clusters.push_back({at, child});
  }
  return clusters;
}

// Makes the block claim 2^56 - 2 bytes: far more than any file holds.
void ClaimHugeSize(const std::string& path, size_t block) {
  Overwrite(path, block + 1, std::string("\x01\xFF\xFF\xFF\xFF\xFF\xFF\xFE", 8));
}

// The source's video packets in file order, as (byte offset) for each.
std::vector<int64_t> VideoPacketPositions(const std::string& path) {
  const CommandResult result = RunCommand(
      {"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries", "packet=pos", "-of", "csv=p=0", path});
  std::vector<int64_t> positions;
  for (const std::string& line : Lines(result.output)) {
    if (!line.empty()) positions.push_back(std::stoll(line));
  }
  return positions;
}

// The byte offset in a "damaged data at byte N" line of standard error; -1
// when there is none.
int64_t DamageOffset(const std::string& errorOutput, const std::string& phrase) {
  const size_t at = errorOutput.find(phrase);
  if (at == std::string::npos) return -1;
  return std::stoll(errorOutput.substr(at + phrase.size()));
}

TEST(DamageE2eTest, MatroskaBlockClaimingTooMuchIsSkippedToTheNextCluster) {
  ScratchDirectory dir;
  const std::string source = dir / "damaged.mkv";
  MakeMatroska(source, "6");
  const std::vector<int64_t> positions = VideoPacketPositions(source);
  const std::vector<Cluster> clusters = FindClusters(ReadFile(source));
  ASSERT_GE(clusters.size(), 4u);
  const Cluster damaged = clusters[1];
  const size_t next = clusters[2].start;
  ClaimHugeSize(source, damaged.firstBlock);
  long before = 0;
  long after = 0;
  for (int64_t position : positions) {
    if (position < static_cast<int64_t>(damaged.start)) ++before;
    if (position >= static_cast<int64_t>(next)) ++after;
  }
  ASSERT_GT(before, 0);
  ASSERT_GT(after, 0);

  fs::create_directory(dir / "out");
  const CommandResult result = RunQuorvex({source, dir / "out/movie", "-demux"});
  EXPECT_EQ(result.exitCode, 0) << result.errorOutput;
  EXPECT_EQ(LastLine(result.output), kDone);
  const int64_t offset = DamageOffset(result.errorOutput, "damaged.mkv: damaged data at byte ");
  EXPECT_GE(offset, static_cast<int64_t>(damaged.firstBlock)) << result.errorOutput;
  EXPECT_LT(offset, static_cast<int64_t>(next)) << result.errorOutput;
  EXPECT_NE(result.errorOutput.find("skipped"), std::string::npos);

  // The frames on both sides arrive; only the damaged cluster's are lost.
  const std::vector<ProbedStream> video = ProbeStreams(dir / "out/movie.1.mpv", "h264");
  ASSERT_EQ(video.size(), 1u);
  EXPECT_GE(video[0].packets, before + after);
  EXPECT_LT(video[0].packets, static_cast<long>(positions.size()));
}

struct StoppedRead {
  const char* name;
  void (*damage)(const std::string& path);
  int exitCode;
  const char* lastLine;
  const char* errorPhrase;
};

void PrintTo(const StoppedRead& c, std::ostream* os) { *os << c.name; }

class DamageEndingTheReadTest : public testing::TestWithParam<StoppedRead> {};

// Whether a read that ends early is a cut recording (keep what came) or
// damage with media still ahead (fail, keep nothing).
TEST_P(DamageEndingTheReadTest, EndsAsTheDamageDeserves) {
  const StoppedRead& c = GetParam();
  ScratchDirectory dir;
  const std::string source = dir / "source.mkv";
  MakeMatroska(source, "1");
  c.damage(source);
  fs::create_directory(dir / "out");
  const CommandResult result = RunQuorvex({source, dir / "out/movie", "-demux"});
  EXPECT_EQ(result.exitCode, c.exitCode) << result.errorOutput;
  EXPECT_EQ(LastLine(result.output), c.lastLine);
  EXPECT_NE(result.errorOutput.find(std::string("source.mkv: ") + c.errorPhrase), std::string::npos)
      << result.errorOutput;
  if (c.exitCode == 0) {
    const std::vector<ProbedStream> video = ProbeStreams(dir / "out/movie.1.mpv", "h264");
    ASSERT_EQ(video.size(), 1u);
    EXPECT_GT(video[0].packets, 10);
  } else {
    EXPECT_TRUE(DirectoryNames(dir / "out").empty());
  }
}

const StoppedRead kStoppedReads[] = {
    // One cluster only, so no later cluster to go on from: the media after
    // the damaged block is still in the file, and lost.
    {"FirstBlockClaimsTooMuch",
     [](const std::string& path) {
       const std::vector<Cluster> clusters = FindClusters(ReadFile(path));
       ASSERT_EQ(clusters.size(), 1u);
       ClaimHugeSize(path, clusters[0].firstBlock);
     },
     1, kErrorAbort, "reading stopped at byte "},
    {"RecordingCutMidBlock",
     [](const std::string& path) {
       const std::string cut = path + ".cut";
       CopyRange(path, cut, 0, fs::file_size(path) * 2 / 3);
       fs::rename(cut, path);
     },
     0, kDone, "ends in the middle of its data"},
};

INSTANTIATE_TEST_SUITE_P(Cases, DamageEndingTheReadTest, testing::ValuesIn(kStoppedReads),
                         [](const auto& param) { return std::string(param.param.name); });

// Transport streams carry a sync byte every packet, so the reader finds its
// way back after garbage: the media on both sides arrive.
TEST(DamageE2eTest, TransportStreamKeepsBothSidesOfAGarbageStretch) {
  struct Case {
    const char* name;
    bool insert;  // inserted, or written over the stream
    std::string garbage;
  };
  const Case cases[] = {{"random bytes over the stream", false, RandomBytes(16 * 1024, 7)},
                        {"zeros inserted", true, std::string(300 * 1024, '\0')}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDirectory dir;
    const std::string clean = dir / "clean.ts";
    const std::string source = dir / "garbage.ts";
    RunFfmpeg({"-f",       "lavfi",     "-i",   "testsrc2=size=320x240:rate=25",
               "-f",       "lavfi",     "-i",   "sine=sample_rate=48000",
               "-t",       "4",         "-c:v", "libx264",
               "-preset",  "superfast", "-g",   "25",
               "-pix_fmt", "yuv420p",   "-c:a", "ac3",
               "-f",       "mpegts",    clean});
    const std::string bytes = ReadFile(clean);
    const size_t middle = bytes.size() / 2;
    WriteBytes(source, c.insert ? bytes.substr(0, middle) + c.garbage + bytes.substr(middle) : bytes);
    if (!c.insert) Overwrite(source, middle, c.garbage);

    const CommandResult result = RunQuorvex({source, dir / "out.mkv"});
    EXPECT_EQ(result.exitCode, 0) << result.errorOutput;
    EXPECT_EQ(LastLine(result.output), kDone);
    EXPECT_GE(DamageOffset(result.errorOutput, "garbage.ts: damaged data at byte "), 0) << result.errorOutput;

    const std::vector<ProbedStream> original = ProbeStreams(clean);
    const std::vector<ProbedStream> copied = ProbeStreams(dir / "out.mkv");
    ASSERT_EQ(copied.size(), 2u);
    ASSERT_EQ(original.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
      // A second at most goes with the garbage.
      EXPECT_GE(copied[i].packets, original[i].packets * 3 / 4) << copied[i].type;
      EXPECT_LT(copied[i].packets, original[i].packets + 1) << copied[i].type;
    }
    const CommandResult duration =
        RunCommand({"ffprobe", "-v", "error", "-show_entries", "format=duration", "-of", "csv=p=0", dir / "out.mkv"});
    EXPECT_GT(std::stod(duration.output), 3.8);
  }
}

}  // namespace
}  // namespace quorvex::e2e
