#include "timecodes/timecode_lines.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

TEST(TimecodeLinesTest, NameTheProgramFileOfEachPlatform) {
  EXPECT_EQ(FailedToLocateLine("mkvmerge.exe"), "Failed to locate \"mkvmerge.exe\". Is mkvtoolnix installed?");
  EXPECT_EQ(FailedToLocateLine("mkvmerge"), "Failed to locate \"mkvmerge\". Is mkvtoolnix installed?");
  EXPECT_EQ(StartingFailedLine("mkvmerge.exe"), "Starting \"mkvmerge.exe\" failed.");
  EXPECT_EQ(StartingFailedLine("mkvmerge"), "Starting \"mkvmerge\" failed.");
}

}  // namespace
}  // namespace quorvex
