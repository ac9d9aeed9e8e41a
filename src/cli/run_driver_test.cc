#include "cli/run_driver.h"

#include <gtest/gtest.h>

#include "cli/usage.h"
#include "platform/testing/in_memory_file_system.h"
#include "platform/testing/recording_console.h"
#include "text/conversions.h"

namespace quorvex {
namespace {

// Records each job call as one text and answers as scripted.
class RecordingJobs : public Jobs {
 public:
  bool demuxResult = true, remuxResult = true, retimeResult = true, inPlaceResult = true;
  std::vector<std::string> calls;
  // Run inside the remux job, to play a muxer that writes the destination.
  std::function<void()> duringRemux;

  bool DemuxToRawFiles(const std::u16string& s, const std::u16string& d, bool v, bool a) override {
    calls.push_back("demux " + NarrowText(s) + " " + NarrowText(d) + Flags(v, a));
    return demuxResult;
  }
  bool RemuxToMatroska(const std::u16string& s, const std::u16string& d, bool v, bool a) override {
    calls.push_back("remux " + NarrowText(s) + " " + NarrowText(d) + Flags(v, a));
    if (duringRemux) duringRemux();
    return remuxResult;
  }
  bool ApplyTimecodes(const std::string& s, const std::string& d, const std::string& fps) override {
    calls.push_back("retime " + s + " " + d + " " + fps);
    return retimeResult;
  }
  bool ApplyTimecodesInPlace(const std::string& d, const std::string& fps, bool defaultRate) override {
    calls.push_back("inplace " + d + " " + fps + (defaultRate ? " default" : ""));
    return inPlaceResult;
  }

 private:
  static std::string Flags(bool v, bool a) { return std::string(v ? " v" : "") + (a ? " a" : ""); }
};

class RunDriverTest : public ::testing::Test {
 protected:
  RunDriverTest() {
    for (const char* name : {"in.ts", "in.m2ts", "in.EVO", "in.mkv", "in.M2TS", "name with blanks.ts"}) {
      files.AddFile(name, "media");
    }
    files.AddDirectory("folder");
  }
  int Run(const std::vector<std::string>& arguments) { return RunDriver(arguments, jobs, files, out.console()); }

  InMemoryFileSystem files;
  RecordingJobs jobs;
  RecordingConsole out;
};

constexpr const char* kMuxing = "Muxing source file to Matroska container. Please wait...";
constexpr const char* kDemuxing = "Demuxing source file streams. Please wait...";
constexpr const char* kBadExtension = "The file extension of the destination file must be \".mkv\".";

TEST_F(RunDriverTest, ChoosesExactlyOneJob) {
  struct Case {
    std::vector<std::string> arguments;
    std::vector<std::string> calls;
    std::vector<std::string> lines;
    int exitCode;
  };
  const Case cases[] = {
      {{"in.ts"}, {"remux in.ts in.mkv"}, {kMuxing, "Done."}, 0},
      {{"in.m2ts"}, {"remux in.m2ts in.mkv", "inplace in.mkv 23.976 default"}, {kMuxing, "Done."}, 0},
      {{"in.M2TS"}, {"remux in.M2TS in.mkv", "inplace in.mkv 23.976 default"}, {kMuxing, "Done."}, 0},
      {{"in.EVO"}, {"remux in.EVO in.mkv", "inplace in.mkv 23.976 default"}, {kMuxing, "Done."}, 0},
      {{"in.m2ts", "-24p"}, {"remux in.m2ts in.mkv", "inplace in.mkv 23.976"}, {kMuxing, "Done."}, 0},
      {{"in.EVO", "-no24p"}, {"remux in.EVO in.mkv"}, {kMuxing, "Done."}, 0},
      {{"-no24p", "in.m2ts", "-24p"}, {"remux in.m2ts in.mkv", "inplace in.mkv 23.976"}, {kMuxing, "Done."}, 0},
      {{"in.ts", "-25p", "out.MKV"}, {"remux in.ts out.MKV", "inplace out.MKV 25.000"}, {kMuxing, "Done."}, 0},
      {{"in.mkv"}, {}, {"Nothing to do for me..."}, 1},
      {{"in.mkv", "-30p"}, {"retime in.mkv in.new.mkv 29.970"}, {"Done."}, 0},
      {{"in.mkv", "-videoOnly"}, {"remux in.mkv in.new.mkv v"}, {kMuxing, "Done."}, 0},
      {{"in.mkv", "-audioonly", "-24p"},
       {"remux in.mkv in.new.mkv a", "inplace in.new.mkv 23.976"},
       {kMuxing, "Done."},
       0},
      {{"in.m2ts", "-demux", "-25p", "out.raw"}, {"demux in.m2ts out.raw"}, {kDemuxing, "Done."}, 0},
      {{"-demux", "in.ts", "-videoonly", "-audioonly"}, {"demux in.ts in.mkv v a"}, {kDemuxing, "Done."}, 0},
      {{"in.ts", "out.avi"}, {}, {kBadExtension}, 1},
      {{"in.ts", "out"}, {}, {kBadExtension}, 1},
      {{"\" name with blanks.ts \"", "\"  \""},
       {"remux name with blanks.ts name with blanks.mkv"},
       {kMuxing, "Done."},
       0},
      {{"folder"}, {"remux folder folder.mkv"}, {kMuxing, "Done."}, 0},
      {{" ", "in.ts"}, {}, {"No source file specified."}, 1},
      {{"-x", "-24p"}, {}, {"Unknown parameter \"x\".", "No source file specified."}, 1},
      {{"missing.ts"}, {}, {"Source file \"missing.ts\" not found."}, 1},
      {{"\"missing.ts \""}, {}, {"Source file \"missing.ts\" not found."}, 1},
      {{"-bogus", "in.ts"}, {"remux in.ts in.mkv"}, {"Unknown parameter \"bogus\".", kMuxing, "Done."}, 0},
  };
  for (const Case& c : cases) {
    RecordingJobs fresh;
    jobs = fresh;
    RecordingConsole console;
    EXPECT_EQ(RunDriver(c.arguments, jobs, files, console.console()), c.exitCode) << c.arguments[0];
    EXPECT_EQ(jobs.calls, c.calls) << c.arguments[0];
    EXPECT_EQ(console.Lines(), c.lines) << c.arguments[0];
  }
}

TEST_F(RunDriverTest, EmptyArgumentListShowsUsage) {
  EXPECT_EQ(Run({}), 1);
  RecordingConsole usage;
  ShowUsage(usage.console());
  EXPECT_EQ(out.Lines(), usage.Lines());
  EXPECT_TRUE(jobs.calls.empty());
}

TEST_F(RunDriverTest, FailedJobsWriteNoVerdict) {
  jobs.demuxResult = jobs.retimeResult = jobs.inPlaceResult = false;
  EXPECT_EQ(Run({"in.ts", "-demux"}), 1);
  EXPECT_EQ(Run({"in.mkv", "-24p"}), 1);
  EXPECT_EQ(Run({"in.m2ts"}), 1);
  EXPECT_EQ(out.Lines(), (std::vector<std::string>{kDemuxing, kMuxing}));
  EXPECT_TRUE(files.HasFile("in.m2ts"));
  EXPECT_TRUE(files.removed.empty()) << "a failed re-time leaves the files to the in-place job";
}

TEST_F(RunDriverTest, FailedRemuxDeletesOnlyWhatTheRunMadeOrChanged) {
  jobs.remuxResult = false;

  // The job wrote a new destination: it goes.
  jobs.duringRemux = [this] { files.AddFile("new.mkv", "partial"); };
  EXPECT_EQ(Run({"in.ts", "new.mkv"}), 1);
  EXPECT_FALSE(files.HasFile("new.mkv"));

  // The job overwrote an existing destination: it goes too.
  files.AddFile("old.mkv", "previous");
  jobs.duringRemux = [this] { files.AddFile("old.mkv", "partial output"); };
  EXPECT_EQ(Run({"in.ts", "old.mkv"}), 1);
  EXPECT_FALSE(files.HasFile("old.mkv"));

  // The job failed before touching a file the user had: it stays.
  files.AddFile("keep.mkv", "user's file");
  jobs.duringRemux = nullptr;
  EXPECT_EQ(Run({"in.ts", "keep.mkv"}), 1);
  EXPECT_EQ(files.ContentsOf("keep.mkv"), "user's file");
  EXPECT_EQ(out.Lines(), (std::vector<std::string>(3, kMuxing)));
}

TEST_F(RunDriverTest, RefusesADestinationThatIsTheSource) {
  files.AddFile("film.mkv", "only copy");
  files.AddLink("alias.mkv", "film.mkv");
  EXPECT_EQ(Run({"film.mkv", "film.mkv", "-24p"}), 1);
  EXPECT_EQ(Run({"film.mkv", "alias.mkv", "-videoonly"}), 1);
  EXPECT_TRUE(jobs.calls.empty());
  EXPECT_EQ(out.Lines(), (std::vector<std::string>(2, "The destination file must not be the source file.")));
  EXPECT_TRUE(files.HasFile("film.mkv"));

  // Demux writes no file of that name.
  EXPECT_EQ(Run({"film.mkv", "film.mkv", "-demux"}), 0);
}

}  // namespace
}  // namespace quorvex
