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

TEST(MkvmergeInvocationTest, IdentifyAsksForTheJsonListing) {
  const ProcessCommand command = IdentifyCommand("/usr/bin/mkvmerge", "@in put.mkv");
  EXPECT_EQ(command.arguments, (std::vector<std::string>{"/usr/bin/mkvmerge", "-J", "./@in put.mkv"}));
  EXPECT_EQ(IdentifyCommand("C:\\m.exe", "a b.mkv").commandLine, "\"C:\\m.exe\" -J \"a b.mkv\"");
}

// Trimmed from what mkvmerge 74 prints for a remuxed Blu-ray sample.
constexpr std::string_view kCurrentMkvmerge = R"({
  "container": {"recognized": true, "supported": true, "type": "Matroska"},
  "errors": [],
  "file_name": "in.mkv",
  "tracks": [
    {"codec": "MPEG-1/2", "id": 0, "type": "video",
     "properties": {"default_duration": 41708333, "pixel_dimensions": "64x48", "number": 1}},
    {"codec": "MP2", "id": 1, "type": "audio", "properties": {"audio_channels": 1, "number": 2}}
  ],
  "warnings": []
})";

TEST(MkvmergeInvocationTest, ReadsTheFirstVideoTrackAndItsFrameDuration) {
  const TrackListing listing = ReadTrackListing(kCurrentMkvmerge);
  EXPECT_TRUE(listing.readable);
  ASSERT_TRUE(listing.firstVideo);
  EXPECT_EQ(listing.firstVideo->id, 0u);
  EXPECT_EQ(listing.firstVideo->frameDuration, 41708333u);
}

TEST(MkvmergeInvocationTest, ListingsTable) {
  struct Case {
    std::string_view json;
    bool readable;
    std::optional<uint32_t> videoId;
    std::optional<uint64_t> frameDuration;
  };
  const Case cases[] = {
      // The first video track wins wherever it stands; old mkvmerge numbered from 1.
      {R"({"tracks":[{"id":0,"type":"audio"},{"id":2,"type":"video","properties":{"default_duration":40000000}},)"
       R"({"id":3,"type":"video","properties":{"default_duration":41708333}}]})",
       true, 2u, 40000000u},
      {R"({"tracks":[{"id":1,"type":"video"}]})", true, 1u, std::nullopt},  // no constant rate
      {R"({"tracks":[{"id":4294967295,"type":"video","properties":{"default_duration":0}}]})", true, 4294967295u,
       std::nullopt},
      {R"({"tracks":[{"id":0,"type":"audio"},{"id":1,"type":"subtitles"}]})", true, std::nullopt, std::nullopt},
      {R"({"tracks":[]})", true, std::nullopt, std::nullopt},
      // Nothing that can be trusted.
      {"", false, std::nullopt, std::nullopt},
      {"Error: The file 'x' could not be opened for reading.", false, std::nullopt, std::nullopt},
      {R"({"tracks":[{"id":0,"type":"video"})", false, std::nullopt, std::nullopt},  // cut short
      {R"({"errors":["no file"]})", false, std::nullopt, std::nullopt},
      {R"([{"id":0,"type":"video"}])", false, std::nullopt, std::nullopt},
      {R"({"tracks":{"id":0,"type":"video"}})", false, std::nullopt, std::nullopt},
      // A first video track whose ID is unusable cannot be re-timed.
      {R"({"tracks":[{"id":4294967296,"type":"video"}]})", false, std::nullopt, std::nullopt},
      {R"({"tracks":[{"id":-1,"type":"video"}]})", false, std::nullopt, std::nullopt},
      {R"({"tracks":[{"id":"0","type":"video"}]})", false, std::nullopt, std::nullopt},
      {R"({"tracks":[{"type":"video"}]})", false, std::nullopt, std::nullopt},
      // A type spelt otherwise is no video track.
      {R"({"tracks":[{"id":0,"type":"Video"}]})", true, std::nullopt, std::nullopt},
  };
  for (const Case& c : cases) {
    const TrackListing listing = ReadTrackListing(c.json);
    EXPECT_EQ(listing.readable, c.readable) << c.json;
    EXPECT_EQ(listing.firstVideo.has_value(), c.videoId.has_value()) << c.json;
    if (listing.firstVideo && c.videoId) {
      EXPECT_EQ(listing.firstVideo->id, *c.videoId) << c.json;
      EXPECT_EQ(listing.firstVideo->frameDuration, c.frameDuration) << c.json;
    }
  }
}

}  // namespace
}  // namespace quorvex
