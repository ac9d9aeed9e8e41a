// The driver as a user meets it: the real binary, real files and folders.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "e2e_support.h"

namespace quorvex::e2e {
namespace {

using Lines_ = std::vector<std::string>;

TEST(CliEndToEndTest, NoArgumentsPrintsTheUsageScreen) {
  // Byte for byte, with the platform's LF line ends.
  const std::string usage =
      "quorvex v1.5, by the quorvex developers\n"
      "\n"
      "This tool can either demux video/audio to separate raw files.\n"
      "Or it can remux video/audio into a Matroska (*.mkv) container.\n"
      "\n"
      "quorvex sourceFile [destFile] [-options]\n"
      "\n"
      "Options:\n"
      "-demux      demuxes video/audio streams to separate raw files\n"
      "-videoonly  remuxes/demuxes only the video stream, ignores audio\n"
      "-audioonly  remuxes/demuxes only the audio streams, ignores video\n"
      "-24p        rewrites the destination MKV timestamps to 23.976\n"
      "-25p        rewrites the destination MKV timestamps to 25.000\n"
      "-30p        rewrites the destination MKV timestamps to 29.970\n"
      "-no24p      don't rewrite the destination MKV timestamps\n"
      "\n"
      "Support input formats:\n"
      "*.ts\n"
      "*.m2ts\n"
      "*.vob\n"
      "*.evo\n"
      "*.avi\n"
      "*.wmv\n"
      "*.mkv\n"
      "\n"
      "The following software is needed:\n"
      "(1) http://haali.su/mkv/\n"
      "(2) https://mkvtoolnix.download/downloads.html#windows\n";
  const CommandResult run = RunQuorvex({});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.output, usage);
  EXPECT_EQ(run.errorOutput, "");
}

TEST(CliEndToEndTest, ValidationLinesAndExitCodes) {
  ScratchDirectory dir;
  std::ofstream(dir / "film.ts") << "not really media";
  std::ofstream(dir / "film.mkv") << "matroska";
  struct Case {
    std::vector<std::string> arguments;
    Lines_ lines;
  };
  const Case cases[] = {
      {{"-videoonly", "-bogus"}, {"Unknown parameter \"bogus\".", "No source file specified."}},
      {{"\"  \""}, {"No source file specified."}},
      {{dir / "missing.ts"}, {"Source file \"" + (dir / "missing.ts") + "\" not found."}},
      {{dir / "film.ts", dir / "out.mp4"}, {"The file extension of the destination file must be \".mkv\"."}},
      {{dir / "film.mkv"}, {"Nothing to do for me..."}},
      {{dir / "film.mkv", dir / "film.mkv", "-25p"}, {"The destination file must not be the source file."}},
  };
  for (const Case& c : cases) {
    const CommandResult run = RunQuorvex(c.arguments);
    EXPECT_EQ(run.exitCode, 1) << c.arguments[0];
    EXPECT_EQ(Lines(run.output), c.lines) << c.arguments[0];
  }
  EXPECT_EQ(ReadFile(dir / "film.mkv"), "matroska");
  EXPECT_FALSE(std::filesystem::exists(dir / "film.new.mkv"));
}

TEST(CliEndToEndTest, SameFileUnderAnotherNameIsRefused) {
  ScratchDirectory dir;
  std::ofstream(dir / "film.mkv") << "matroska";
  std::filesystem::create_hard_link(dir / "film.mkv", dir / "link.mkv");
  std::filesystem::create_symlink(dir / "film.mkv", dir / "symlink.mkv");
  for (const char* other : {"link.mkv", "symlink.mkv"}) {
    const CommandResult run = RunQuorvex({dir / "film.mkv", dir / other, "-videoonly"});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_EQ(Lines(run.output), Lines_{"The destination file must not be the source file."});
  }
  EXPECT_EQ(ReadFile(dir / "film.mkv"), "matroska");
}

TEST(CliEndToEndTest, AbsolutePathIsANameNotAnOption) {
  ScratchDirectory dir;
  const CommandResult run = RunQuorvex({dir / "absent.m2ts"});
  EXPECT_EQ(Lines(run.output), Lines_{"Source file \"" + (dir / "absent.m2ts") + "\" not found."});
}

TEST(CliEndToEndTest, LostStandardOutputEndsAbnormally) {
  // A full device, and a closed standard output: the buffered usage screen
  // cannot be written. Some sandboxes replace /dev/full by a plain file.
  std::vector<std::string> redirections{">&-"};
  if (std::filesystem::is_character_file("/dev/full")) redirections.push_back(">/dev/full");
  for (const std::string& redirection : redirections) {
    const CommandResult run = RunCommand({"sh", "-c", "exec \"$0\" " + redirection, QuorvexBinary()});
    EXPECT_EQ(run.exitCode, 1) << redirection;
    const Lines_ report = Lines(run.errorOutput);
    ASSERT_EQ(report.size(), 1u) << redirection << ": " << run.errorOutput;
    EXPECT_NE(report[0].find("quorvex"), std::string::npos);
    EXPECT_NE(report[0].find("Writing to standard output failed."), std::string::npos);
  }
}

TEST(CliEndToEndTest, OutputToAPipeArrivesWhole) {
  // Lines buffered for a pipe must all be written out at exit.
  const CommandResult run = RunCommand({"sh", "-c", "\"$0\" | cat", QuorvexBinary()});
  EXPECT_EQ(Lines(run.output).size(), 28u);
}

// A name saved on a Latin-1 system: "café" with the single byte 0xE9, which
// is not UTF-8. It must reach the file system exactly as given.
TEST(CliEndToEndTest, NamesThatAreNotUtf8WorkInEveryJob) {
  ScratchDirectory dir;
  const std::string cafe = "caf\xE9";
  RunFfmpeg({"-f", "lavfi", "-i", "testsrc=size=64x48:rate=25:duration=1", "-f", "lavfi", "-i",
             "sine=frequency=440:duration=1", "-c:v", "mpeg2video", "-c:a", "mp2", "-f", "mpegts", dir / "source.ts"});
  std::filesystem::rename(dir / "source.ts", dir / (cafe + ".ts"));

  const CommandResult remux = RunQuorvex({dir / (cafe + ".ts")});
  EXPECT_EQ(remux.exitCode, 0) << remux.output << remux.errorOutput;
  EXPECT_EQ(RunCommand({"mkvmerge", "-J", dir / (cafe + ".mkv")}).exitCode, 0) << "the remux result under its name";

  const CommandResult demux = RunQuorvex({dir / (cafe + ".ts"), dir / (cafe + " raw"), "-demux"});
  EXPECT_EQ(demux.exitCode, 0) << demux.output << demux.errorOutput;
  for (const char* part : {" raw.1.mpv", " raw.2.mpa"}) {
    const CommandResult probe = RunCommand(
        {"ffprobe", "-v", "error", "-show_entries", "stream=codec_type", "-of", "csv=p=0", dir / (cafe + part)});
    EXPECT_EQ(probe.exitCode, 0) << part;
    EXPECT_FALSE(probe.output.empty()) << part;
  }

  const CommandResult retime = RunQuorvex({dir / (cafe + ".mkv"), "-24p"});
  EXPECT_EQ(retime.exitCode, 0) << retime.output << retime.errorOutput;
  const CommandResult rate = RunCommand({"ffprobe", "-v", "error", "-select_streams", "v:0", "-show_entries",
                                         "stream=r_frame_rate", "-of", "default=nw=1:nk=1", dir / (cafe + ".new.mkv")});
  EXPECT_EQ(Lines(rate.output), Lines_{"2997/125"});

  const CommandResult inPlace = RunQuorvex({dir / (cafe + ".ts"), dir / (cafe + " 25.mkv"), "-24p"});
  EXPECT_EQ(inPlace.exitCode, 0) << inPlace.output << inPlace.errorOutput;
  EXPECT_TRUE(std::filesystem::exists(dir / (cafe + " 25.mkv")));
  EXPECT_FALSE(std::filesystem::exists(dir / (cafe + " 25.old.mkv")));
}

}  // namespace
}  // namespace quorvex::e2e
