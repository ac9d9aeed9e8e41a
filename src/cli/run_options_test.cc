#include "cli/run_options.h"

#include <gtest/gtest.h>

#include "platform/testing/recording_console.h"

namespace quorvex {
namespace {

struct ParseCase {
  std::vector<std::string> arguments;
  std::string sourceFile, destFile, fps;
  bool videoOnly, audioOnly, demux, no24p;
  std::vector<std::string> lines;
};

TEST(ParseArgumentsTest, OptionsAndNamesInAnyOrder) {
  const ParseCase cases[] = {
      {{"in.ts"}, "in.ts", "", "", false, false, false, false, {}},
      {{"-videoOnly", "in.ts", "-AUDIOONLY", "out.mkv"}, "in.ts", "out.mkv", "", true, true, false, false, {}},
      {{"in.ts", "a.mkv", "b.mkv", "c.mkv"}, "in.ts", "c.mkv", "", false, false, false, false, {}},
      {{"-24p", "-30p", "in.ts"}, "in.ts", "", "29.970", false, false, false, false, {}},
      {{"-no24p", "-24p", "in.ts"}, "in.ts", "", "23.976", false, false, false, true, {}},
      {{"-25p", "-no24p"}, "", "", "25.000", false, false, false, true, {}},
      {{"-demux", "-DeMuX", "in.evo"}, "in.evo", "", "", false, false, true, false, {}},
      {{"-", "-25p=1", "-x", "in.ts"},
       "in.ts",
       "",
       "",
       false,
       false,
       false,
       false,
       {"Unknown parameter \"\".", "Unknown parameter \"25p=1\".", "Unknown parameter \"x\"."}},
      // A name of blanks takes the source's place; later names go to the destination.
      {{" ", "in.ts"}, " ", "in.ts", "", false, false, false, false, {}},
      {{" -demux", "in.ts"}, " -demux", "in.ts", "", false, false, false, false, {}},
  };
  for (const ParseCase& c : cases) {
    RecordingConsole out;
    RunOptions options;
    ParseArguments(c.arguments, options, out.console(), "-");
    EXPECT_EQ(options.sourceFile, c.sourceFile);
    EXPECT_EQ(options.destFile, c.destFile);
    EXPECT_EQ(options.fps, c.fps);
    EXPECT_EQ(options.videoOnly, c.videoOnly);
    EXPECT_EQ(options.audioOnly, c.audioOnly);
    EXPECT_EQ(options.demux, c.demux);
    EXPECT_EQ(options.no24p, c.no24p);
    EXPECT_EQ(out.Lines(), c.lines);
  }
}

TEST(ParseArgumentsTest, SlashIntroducesOptionsOnlyWhereThePlatformSaysSo) {
  {
    RecordingConsole out;
    RunOptions options;
    ParseArguments({"/videoonly", "/media/film.m2ts"}, options, out.console(), "-/");
    EXPECT_TRUE(options.videoOnly);
    EXPECT_EQ(out.Lines(), std::vector<std::string>{"Unknown parameter \"media/film.m2ts\"."});
  }
  {
    RecordingConsole out;
    RunOptions options;
    ParseArguments({"/media/film.m2ts", "/videoonly"}, options, out.console(), "-");
    EXPECT_EQ(options.sourceFile, "/media/film.m2ts");
    EXPECT_EQ(options.destFile, "/videoonly");
    EXPECT_TRUE(out.Lines().empty());
  }
}

TEST(DefaultDestinationTest, MatroskaSourcesGetNewMkv) {
  EXPECT_EQ(DefaultDestination("movie.ts"), "movie.mkv");
  EXPECT_EQ(DefaultDestination("movie.MKV"), "movie.new.mkv");
  EXPECT_EQ(DefaultDestination("/films.hd/movie"), "/films.hd/movie.mkv");
  EXPECT_EQ(DefaultDestination("/films/movie.m2ts"), "/films/movie.mkv");
}

}  // namespace
}  // namespace quorvex
