// Memory stays bounded however the streams' timestamps relate: the run
// never holds back more than a few megabytes of one stream while it waits
// for another. The sources are large on purpose (intra-coded 720p MPEG-2 at
// about 280 Mb/s, so a few seconds of it are bigger than the whole budget);
// GNU time measures the peak resident memory of the real binary.
#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "e2e_support.h"
#include "robustness_support.h"

namespace quorvex::e2e {
namespace {

namespace fs = std::filesystem;

constexpr long kPeakLimitKiB = 64 * 1024;
constexpr size_t kTsPacket = 188;
constexpr int64_t kTicksPerSecond = 90000;

int64_t ReadTimestamp(const std::string& bytes, size_t at) {
  const auto byte = [&](size_t i) { return static_cast<int64_t>(static_cast<unsigned char>(bytes[at + i])); };
  return ((byte(0) >> 1) & 0x07) << 30 | byte(1) << 22 | (byte(2) >> 1) << 15 | byte(3) << 7 | byte(4) >> 1;
}

void WriteTimestamp(std::string& bytes, size_t at, int64_t time) {
  const auto prefix = static_cast<unsigned char>(bytes[at]) & 0xF0;
  bytes[at] = static_cast<char>(prefix | ((time >> 29) & 0x0E) | 1);
  bytes[at + 1] = static_cast<char>((time >> 22) & 0xFF);
  bytes[at + 2] = static_cast<char>(((time >> 14) & 0xFE) | 1);
  bytes[at + 3] = static_cast<char>((time >> 7) & 0xFF);
  bytes[at + 4] = static_cast<char>(((time << 1) & 0xFE) | 1);
}

// Moves every video PES packet's times `seconds` later, in place: the file
// order stays, so the video lies that far ahead of the audio beside it.
void StampVideoAhead(const std::string& path, int64_t seconds) {
  std::string bytes = ReadFile(path);
  int patched = 0;
  for (size_t packet = 0; packet + kTsPacket <= bytes.size(); packet += kTsPacket) {
    const auto flags = static_cast<unsigned char>(bytes[packet + 1]);
    const auto control = (static_cast<unsigned char>(bytes[packet + 3]) >> 4) & 0x3;
    if ((flags & 0x40) == 0 || (control & 0x1) == 0) continue;  // no PES starts here
    size_t pes = packet + 4;
    if (control == 0x3) pes += 1 + static_cast<unsigned char>(bytes[pes]);
    if (pes + 19 > packet + kTsPacket || bytes.compare(pes, 4, std::string("\x00\x00\x01\xE0", 4)) != 0) continue;
    const auto timeFlags = static_cast<unsigned char>(bytes[pes + 7]) >> 6;
    for (int field = 0; field < (timeFlags == 3 ? 2 : timeFlags == 2 ? 1 : 0); ++field) {
      const size_t at = pes + 9 + 5 * static_cast<size_t>(field);
      WriteTimestamp(bytes, at, ReadTimestamp(bytes, at) + seconds * kTicksPerSecond);
    }
    ++patched;
  }
  ASSERT_GT(patched, 0);
  WriteBytes(path, bytes);
}

struct Skew {
  const char* name;
  const char* audioSeconds;
  int64_t videoAheadSeconds;
};

TEST(MemoryE2eTest, PeakStaysUnderBudgetWhenAStreamFallsBehind) {
#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
  // A sanitizer's shadow memory and quarantine are no measure of the program's own.
  GTEST_SKIP() << "peak memory is measured in builds without sanitizers";
#endif
  ScratchDirectory dir;
  // One second of noise, intra-coded at the finest quantiser: about 35 MB.
  const std::string second = dir / "second.m2v";
  RunFfmpeg({"-f", "lavfi", "-i", "testsrc2=size=1280x720:rate=25,noise=alls=100:allf=t", "-t", "1", "-c:v",
             "mpeg2video", "-q:v", "1", "-g", "1", "-f", "mpeg2video", second});
  const Skew cases[] = {{"audio ends after 1 s", "1", 0}, {"video stamped 4 s ahead of its audio", "5", 4}};
  for (const Skew& c : cases) {
    SCOPED_TRACE(c.name);
    const std::string source = dir / "source.ts";
    const std::string destination = dir / "out.mkv";
    const std::string peak = dir / "peak";
    RunFfmpeg({"-stream_loop", "4",   "-fflags", "+genpts", "-r",           "25",   "-i",
               second,         "-f",  "lavfi",   "-t",      c.audioSeconds, "-i",   "sine=sample_rate=48000",
               "-map",         "0:v", "-map",    "1:a",     "-c:v",         "copy", "-c:a",
               "ac3",          "-f",  "mpegts",  source});
    if (c.videoAheadSeconds > 0) StampVideoAhead(source, c.videoAheadSeconds);
    ASSERT_GT(fs::file_size(source), 150u << 20);

    const CommandResult result =
        RunCommand({"/usr/bin/time", "-f", "%M", "-o", peak, QuorvexBinary(), source, destination});
    EXPECT_EQ(result.exitCode, 0) << result.errorOutput;
    EXPECT_EQ(LastLine(result.output), "Done.");
    const std::string peakKiB = ReadFile(peak);
    ASSERT_FALSE(peakKiB.empty());
    EXPECT_LT(std::stol(peakKiB), kPeakLimitKiB);
    const std::vector<ProbedStream> streams = ProbeStreams(destination);
    ASSERT_EQ(streams.size(), 2u);
    EXPECT_EQ(streams[0].packets, 125);
    fs::remove(source);
    fs::remove(destination);
  }
}

}  // namespace
}  // namespace quorvex::e2e
