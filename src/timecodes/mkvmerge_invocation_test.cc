#include "timecodes/mkvmerge_invocation.h"

#include <gtest/gtest.h>

namespace quorvex {
namespace {

RetimeInvocation Movie(uint32_t track) {
  return {"C:\\Program Files\\MKVToolNix\\mkvmerge.exe", "D:\\films\\movie.mkv", "D:\\films\\movie.24p.txt",
          "D:\\films\\movie.old.mkv", track};
}

TEST(MkvmergeInvocationTest, WindowsLineIsTheTenPiecesWithTheVideoTrack) {
  EXPECT_EQ(RetimeCommandLine(Movie(1)),
            "\"C:\\Program Files\\MKVToolNix\\mkvmerge.exe\" -o \"D:\\films\\movie.mkv\" --timecodes "
            "1:\"D:\\films\\movie.24p.txt\" -d 1 \"D:\\films\\movie.old.mkv\"");
  EXPECT_EQ(RetimeCommandLine(Movie(0)),
            "\"C:\\Program Files\\MKVToolNix\\mkvmerge.exe\" -o \"D:\\films\\movie.mkv\" --timecodes "
            "0:\"D:\\films\\movie.24p.txt\" -d 0 \"D:\\films\\movie.old.mkv\"");
}

TEST(MkvmergeInvocationTest, WindowsLineKeepsNamesAsTheyStand) {
  // Nothing is escaped: a name is put between quotes byte for byte.
  const RetimeInvocation run{"m", "a b\\c.mkv", "-t.txt", "@in \xe9.mkv", 7};
  EXPECT_EQ(RetimeCommandLine(run), "\"m\" -o \"a b\\c.mkv\" --timecodes 7:\"-t.txt\" -d 7 \"@in \xe9.mkv\"");
}

TEST(MkvmergeInvocationTest, ArgumentsCarryEveryNameAsOneElement) {
  const RetimeInvocation run{"/usr/bin/mkvmerge", "my \"film\".mkv", "my \"film\".24p.txt", "caf\xc3\xa9 old.mkv", 0};
  EXPECT_EQ(RetimeArguments(run),
            (std::vector<std::string>{"/usr/bin/mkvmerge", "-o", "my \"film\".mkv", "--timecodes",
                                      "0:my \"film\".24p.txt", "-d", "0", "caf\xc3\xa9 old.mkv"}));
}

TEST(MkvmergeInvocationTest, CommandCarriesBothForms) {
  const ProcessCommand command = RetimeCommand(Movie(3));
  EXPECT_EQ(command.arguments, RetimeArguments(Movie(3)));
  EXPECT_EQ(command.commandLine, RetimeCommandLine(Movie(3)));
}

TEST(MkvmergeInvocationTest, NamesThatMkvmergeWouldReadAsSyntaxAreShielded) {
  const RetimeInvocation run{"mkvmerge", "-out.mkv", "-out.24p.txt", "@in.mkv", 0};
  EXPECT_EQ(RetimeArguments(run), (std::vector<std::string>{"mkvmerge", "-o", "./-out.mkv", "--timecodes",
                                                            "0:-out.24p.txt", "-d", "0", "./@in.mkv"}));
  struct Case {
    const char* name;
    const char* argument;
  };
  const Case cases[] = {{"-d", "./-d"},         {"@opts.json", "./@opts.json"}, {"+a.mkv", "./+a.mkv"},
                        {"=a.mkv", "./=a.mkv"}, {"(a.mkv", "./(a.mkv"},         {")", "./)"},
                        {"a-b.mkv", "a-b.mkv"}, {"/abs/-x.mkv", "/abs/-x.mkv"}, {"", ""},
                        {" -x.mkv", " -x.mkv"}};
  for (const Case& c : cases) EXPECT_EQ(ShieldFileArgument(c.name), c.argument) << c.name;
}

TEST(MkvmergeInvocationTest, IdentifyAsksForEnglishTrackLines) {
  const ProcessCommand command = IdentifyCommand("/usr/bin/mkvmerge", "@in put.mkv");
  EXPECT_EQ(command.arguments, (std::vector<std::string>{"/usr/bin/mkvmerge", "--ui-language", "en_US",
                                                         "--identify", "./@in put.mkv"}));
  EXPECT_EQ(IdentifyCommand("C:\\m.exe", "a b.mkv").commandLine,
            "\"C:\\m.exe\" --ui-language en_US --identify \"a b.mkv\"");
}

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
