// quorvex.exe itself, started with exact command lines (CreateProcessA, so
// nothing re-quotes them) and judged by its bytes on standard output, its
// exit code and the files it leaves.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform/windows/win32_handle.h"
#include "windows_test_support.h"

namespace quorvex::testing {
namespace {

std::string Quorvex() { return FullPathOf(TestProgramFolder() + "..\\..\\quorvex.exe"); }

// Runs quorvex with `tail` after its quoted name, in `folder`.
ProcessResult RunQuorvex(const std::string& tail, const std::string& folder = "") {
  return RunCommandLine("\"" + Quorvex() + "\"" + tail, folder);
}

std::string Lines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += line + "\r\n";
  return text;
}

const std::string kUsage = Lines({
    "quorvex v1.5, by the quorvex developers",
    "",
    "This tool can either demux video/audio to separate raw files.",
    "Or it can remux video/audio into a Matroska (*.mkv) container.",
    "",
    "quorvex sourceFile [destFile] [-options]",
    "",
    "Options:",
    "-demux      demuxes video/audio streams to separate raw files",
    "-videoonly  remuxes/demuxes only the video stream, ignores audio",
    "-audioonly  remuxes/demuxes only the audio streams, ignores video",
    "-24p        rewrites the destination MKV timestamps to 23.976",
    "-25p        rewrites the destination MKV timestamps to 25.000",
    "-30p        rewrites the destination MKV timestamps to 29.970",
    "-no24p      don't rewrite the destination MKV timestamps",
    "",
    "Support input formats:",
    "*.ts",
    "*.m2ts",
    "*.vob",
    "*.evo",
    "*.avi",
    "*.wmv",
    "*.mkv",
    "",
    "The following software is needed:",
    "(1) http://haali.su/mkv/",
    "(2) https://mkvtoolnix.download/downloads.html#windows",
});

struct Case {
  const char* tail;  // the command line after the program's quoted name
  std::string output;
  uint32_t exitCode;
};

void ExpectRuns(const std::vector<Case>& cases, const std::string& folder = "") {
  for (const Case& c : cases) {
    const ProcessResult result = RunQuorvex(c.tail, folder);
    EXPECT_EQ(result.standardOutput, c.output) << "command line tail: [" << c.tail << "]";
    EXPECT_EQ(result.exitCode, c.exitCode) << "command line tail: [" << c.tail << "]";
    EXPECT_EQ(result.standardError, "") << "command line tail: [" << c.tail << "]";
  }
}

TEST(ProgramTest, UsageScreenByteForByteWithCrLf) {
  ExpectRuns({
      {"", kUsage, 1},
      {"   \t ", kUsage, 1},
      // Pairs of quotes standing alone make no argument; a lone quote at the
      // end makes an empty one, which ends the list.
      {" \"\" \"\"", kUsage, 1},
      {" \"", kUsage, 1},
  });
}

TEST(ProgramTest, ArgumentsAreCutFromTheRawCommandLine) {
  ExpectRuns({
      // Quoted and unquoted pieces that touch make one argument.
      {" -f\"o\"o", Lines({"Unknown parameter \"foo\".", "No source file specified."}), 1},
      {" \"-a b\"\t-c", Lines({"Unknown parameter \"a b\".", "Unknown parameter \"c\".", "No source file specified."}),
       1},
      // A quoted section runs to the end of the line when nothing closes it.
      {" -x\"y  z", Lines({"Unknown parameter \"xy  z\".", "No source file specified."}), 1},
      // Lone pairs of quotes between arguments vanish; touching ones add nothing.
      {" -a \"\" -b\"\"", Lines({"Unknown parameter \"a\".", "Unknown parameter \"b\".", "No source file specified."}),
       1},
      // Backslashes are ordinary characters: no escapes.
      {" \"-a\\\\\" -b\\",
       Lines({"Unknown parameter \"a\\\\\".", "Unknown parameter \"b\\\".", "No source file specified."}), 1},
  });
}

TEST(ProgramTest, DriverValidationLinesAndExitCodes) {
  ScratchFolder scratch;
  WriteFileBytes(scratch / "film.ts", "not really a stream");
  WriteFileBytes(scratch / "film.mkv", "not really matroska");
  ExpectRuns(
      {
          {" -foo", Lines({"Unknown parameter \"foo\".", "No source file specified."}), 1},
          // '/' introduces options on Windows, in any letter case.
          {" /VIDEOONLY -", Lines({"Unknown parameter \"\".", "No source file specified."}), 1},
          {" absent.ts", Lines({"Source file \"absent.ts\" not found."}), 1},
          {" \"  absent.ts \"", Lines({"Source file \"absent.ts\" not found."}), 1},
          // A quoted blank takes the source's place and cleans to nothing.
          {" \" \" film.ts", Lines({"No source file specified."}), 1},
          // A leading blank makes a name of what looks like an option.
          {" \" -demux\"", Lines({"Source file \"-demux\" not found."}), 1},
          {" film.ts film.avi", Lines({"The file extension of the destination file must be \".mkv\"."}), 1},
          {" film.ts film", Lines({"The file extension of the destination file must be \".mkv\"."}), 1},
          {" film.mkv", Lines({"Nothing to do for me..."}), 1},
          {" FILM.MKV -no24p", Lines({"Nothing to do for me..."}), 1},
      },
      scratch.path());
}

TEST(ProgramTest, GraphJobsOnTheSystemsFilterGraphWithoutHaali) {
  ScratchFolder scratch;
  WriteFileBytes(scratch / "film.m2ts", "not really a stream");
  WriteFileBytes(scratch / "clip.wmv", "not really a wmv");
  ExpectRuns(
      {
          {" film.m2ts -no24p",
           Lines({"Muxing source file to Matroska container. Please wait...",
                  "Getting Haali Simple Media Splitter instance failed."}),
           1},
          {" film.m2ts -demux",
           Lines({"Demuxing source file streams. Please wait...",
                  "Getting Haali Simple Media Splitter instance failed."}),
           1},
          {" film.m2ts out.mkv -videoonly",
           Lines({"Muxing source file to Matroska container. Please wait...",
                  "Getting Haali Simple Media Splitter instance failed."}),
           1},
          // The system's own class for ".wmv" sources is there; the muxer is not.
          {" clip.WMV",
           Lines({"Muxing source file to Matroska container. Please wait...",
                  "Getting Haali Matroska Muxer instance failed."}),
           1},
      },
      scratch.path());
  EXPECT_FALSE(FileExists(scratch / "film.mkv"));
  EXPECT_FALSE(FileExists(scratch / "out.mkv"));
  EXPECT_FALSE(FileExists(scratch / "clip.mkv"));
}

TEST(ProgramTest, AFailedRemuxLeavesAnUntouchedDestinationAlone) {
  ScratchFolder scratch;
  WriteFileBytes(scratch / "film.ts", "not really a stream");
  WriteFileBytes(scratch / "keep.mkv", "the user's own file");
  const ProcessResult result = RunQuorvex(" film.ts keep.mkv", scratch.path());
  EXPECT_EQ(result.exitCode, 1u);
  EXPECT_EQ(ReadFileBytes(scratch / "keep.mkv"), "the user's own file");
}

TEST(ProgramTest, SourceAndDestinationNamingOneFileIsRefused) {
  ScratchFolder scratch;
  WriteFileBytes(scratch / "film.mkv", "matroska");
  // Another spelling of the same file: letter case does not matter on Windows.
  const ProcessResult result = RunQuorvex(" film.mkv .\\FILM.MKV -25p", scratch.path());
  EXPECT_EQ(result.standardOutput, Lines({"The destination file must not be the source file."}));
  EXPECT_EQ(result.exitCode, 1u);
  EXPECT_EQ(ReadFileBytes(scratch / "film.mkv"), "matroska");
}

TEST(ProgramTest, LostStandardOutputEndsAbnormally) {
  // Standard output on a handle that refuses writes: the usage screen cannot
  // be written, and the report goes to standard error instead.
  ScratchFolder scratch;
  WriteFileBytes(scratch / "read-only.txt", "");
  SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
  HANDLE output = CreateFileA((scratch / "read-only.txt").c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                              &inheritable, OPEN_EXISTING, 0, nullptr);
  HANDLE errors = CreateFileA((scratch / "errors.txt").c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inheritable,
                              CREATE_ALWAYS, 0, nullptr);
  ASSERT_NE(output, INVALID_HANDLE_VALUE);
  ASSERT_NE(errors, INVALID_HANDLE_VALUE);
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = output;
  startup.hStdOutput = output;
  startup.hStdError = errors;
  PROCESS_INFORMATION process{};
  std::string commandLine = "\"" + Quorvex() + "\"";
  const BOOL started =
      CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
  CloseHandle(output);
  CloseHandle(errors);
  ASSERT_TRUE(started);
  Win32Handle processHandle(process.hProcess);
  Win32Handle threadHandle(process.hThread);
  const uint32_t exitCode = WaitForExit(processHandle.get());

  EXPECT_EQ(exitCode, 1u);
  const std::string report = ReadFileBytes(scratch / "errors.txt");
  EXPECT_NE(report.find("quorvex.exe"), std::string::npos) << report;
  EXPECT_NE(report.find("Writing to standard output failed."), std::string::npos) << report;
  EXPECT_EQ(report.find('\n'), report.size() - 1) << "one line: " << report;
}

}  // namespace
}  // namespace quorvex::testing
