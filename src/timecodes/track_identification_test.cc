#include "timecodes/track_identification.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

// What mkvmerge 74 prints for a file made with video first, audio second.
constexpr std::string_view kCurrentMkvmerge =
    "File 'in.mkv': container: Matroska\n"
    "Track ID 0: video (MPEG-4p2)\n"
    "Track ID 1: audio (MP2)\n"
    "Global tags: 1 entry\n"
    "Tags for track ID 0: 2 entries\n";

TEST(TrackIdentificationTest, TakesTheIdThatMkvmergeReports) {
  EXPECT_EQ(FirstVideoTrackId(kCurrentMkvmerge), 0u);
  // Old mkvmerge numbered from 1.
  EXPECT_EQ(FirstVideoTrackId("File 'a.mkv': container: Matroska\nTrack ID 1: video (V_MPEG4/ISO/AVC)\n"), 1u);
}

TEST(TrackIdentificationTest, FirstVideoTrackWinsWhereverItIs) {
  EXPECT_EQ(FirstVideoTrackId("Track ID 0: audio (AAC)\nTrack ID 1: subtitles (SRT)\n"
                              "Track ID 2: video (AVC/H.264/MPEG-4p10)\nTrack ID 3: video (HEVC)\n"),
            2u);
  EXPECT_EQ(FirstVideoTrackId("Track ID 12: video (VP9)"), 12u);  // last line without its end
  EXPECT_EQ(FirstVideoTrackId("Track ID 4294967295: video (x)\n"), 4294967295u);
}

TEST(TrackIdentificationTest, WindowsLineEndsDoNotMatter) {
  EXPECT_EQ(FirstVideoTrackId("File 'a.mkv': container: Matroska\r\nTrack ID 0: video (AVC)\r\n"), 0u);
}

TEST(TrackIdentificationTest, NoVideoTrackOrNoTrackLines) {
  const char* cases[] = {
      "",
      "File 'a.mka': container: Matroska\nTrack ID 0: audio (FLAC)\n",
      "Error: The file 'x' could not be opened for reading: open file error.\n",
      "Tags for track ID 0: 2 entries\n",              // not a track line
      " Track ID 0: video (AVC)\n",                    // lines are matched from their start
      "Track ID : video (AVC)\n",                      // no number
      "Track ID 0x: video (AVC)\n",                    // not a number
      "Track ID 0: videos (AVC)\n",                    // another type
      "Track ID 0: Video (AVC)\n",                     // the type as mkvmerge spells it only
      "Track ID 4294967296: video (x)\n",              // beyond 32 bits
      "Track ID 99999999999999999999999: video (x)\n",
  };
  for (const char* output : cases) EXPECT_EQ(FirstVideoTrackId(output), std::nullopt) << output;
}

}  // namespace
}  // namespace quorvex
