#include "cli/usage.h"

#include <gtest/gtest.h>

#include "platform/testing/recording_console.h"

namespace quorvex {
namespace {

TEST(ShowUsageTest, WritesTheFixedScreen) {
  RecordingConsole out;
  ShowUsage(out.console());
  const std::vector<std::string> lines = out.Lines();
  ASSERT_EQ(lines.size(), 28u);
  EXPECT_EQ(lines[0].rfind("quorvex v1.5, ", 0), 0u);
  EXPECT_EQ(lines[5], "quorvex sourceFile [destFile] [-options]");
  EXPECT_EQ(lines[8], "-demux      demuxes video/audio streams to separate raw files");
  EXPECT_EQ(lines[9], "-videoonly  remuxes/demuxes only the video stream, ignores audio");
  EXPECT_EQ(lines[11], "-24p        rewrites the destination MKV timestamps to 23.976");
  EXPECT_EQ(lines[14], "-no24p      don't rewrite the destination MKV timestamps");
  EXPECT_EQ(lines[16], "Support input formats:");
  EXPECT_EQ(lines[26], "(1) http://haali.su/mkv/");
  EXPECT_EQ(lines[27], "(2) https://mkvtoolnix.download/downloads.html#windows");
  for (size_t i : {1, 4, 6, 15, 24}) EXPECT_EQ(lines[i], "") << "line " << i + 1;
  for (const std::string& line : lines) {
    EXPECT_TRUE(line.empty() || line.back() != ' ') << "no trailing blanks: " << line;
  }
  for (size_t i = 8; i <= 14; ++i) {
    EXPECT_EQ(lines[i].find_first_not_of(' ', lines[i].find(' ')), 12u) << "description in column 13: " << lines[i];
  }
}

}  // namespace
}  // namespace quorvex
