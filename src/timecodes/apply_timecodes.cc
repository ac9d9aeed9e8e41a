// Re-times a Matroska file into a new one by running mkvmerge with a
// timecode file that declares one constant rate.
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include "timecodes/mkvmerge_command_line.h"
#include "timecodes/mkvmerge_locator.h"
#include "timecodes/timecode_file.h"
#include "timecodes/timecode_jobs.h"
#include "timecodes/timecode_lines.h"
#include "timecodes/track_identification.h"

namespace quorvex {
namespace {

// The timecode file never outlives the job, whichever way the job ends.
class TemporaryFile {
 public:
  TemporaryFile(FileSystem& files, std::string name) : files_(files), name_(std::move(name)) {}
  ~TemporaryFile() { files_.RemoveFile(name_); }
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;

 private:
  FileSystem& files_;
  std::string name_;
};

bool Fail(Console& console, std::string_view line) {
  console.WriteLine(line);
  console.WriteLine(kTimecodesNotSetLine);
  return false;
}

// The output may be deleted only when this run made or changed it, and never
// when it is the input under another name: mkvmerge may stop before touching
// a file that was there before, and a failed job must not destroy its input.
bool RunChangedOutput(FileSystem& files, const std::string& input, const std::string& output,
                      const std::optional<FileIdentity>& outputBefore) {
  const std::optional<FileIdentity> after = files.Identify(output);
  if (!after || after == outputBefore) return false;
  const std::optional<FileIdentity> inputIdentity = files.Identify(input);
  return !(inputIdentity && inputIdentity->SameFileAs(*after));
}

}  // namespace

bool ApplyTimecodes(TimecodeServices& services, const std::string& input, const std::string& output,
                    const std::string& rate) {
  Console& console = services.console;
  FileSystem& files = services.files;
  const MkvmergeNaming naming = NativeMkvmergeNaming();

  const std::string mkvmerge = LocateMkvmerge(services.registry, files, console, naming);
  if (mkvmerge.empty()) {
    console.WriteLine(kTimecodesNotSetLine);
    return false;
  }

  // The video track's ID differs between mkvmerge versions, and a wrong one
  // makes mkvmerge drop the video while reporting success.
  const std::optional<CapturedRun> listing = services.processes.RunCapturingOutput(IdentifyCommand(mkvmerge, input));
  if (!listing) return Fail(console, StartingFailedLine(naming.programFileName));
  const std::optional<uint32_t> videoTrack =
      listing->exitCode <= 1 ? FirstVideoTrackId(listing->standardOutput) : std::nullopt;
  if (!videoTrack) return Fail(console, kNoVideoTrackLine);

  const std::string timecodeFile = TimecodeFileName(output);
  if (!files.WriteWholeFile(timecodeFile, TimecodeFileContents(rate))) {
    return Fail(console, kTimecodeFileFailedLine);
  }
  std::optional<TemporaryFile> timecodes(std::in_place, files, timecodeFile);

  const std::optional<FileIdentity> outputBefore = files.Identify(output);
  // The lines go before the start: the runner starts and waits in one call,
  // and mkvmerge writes to the same standard output, so a log then reads in
  // the order things happened.
  console.WriteLine(kPleaseWaitLine);
  console.WriteLine("");
  console.Flush();
  const std::optional<uint32_t> exitCode =
      services.processes.RunInConsole(RetimeCommand({mkvmerge, output, timecodeFile, input, *videoTrack}));
  timecodes.reset();
  if (!exitCode) return Fail(console, StartingFailedLine(naming.programFileName));
  console.WriteLine("");

  if (*exitCode > 1) {
    if (RunChangedOutput(files, input, output, outputBefore)) files.RemoveFile(output);
    return Fail(console, kErrorsLine);
  }
  if (!files.PathExists(output)) return Fail(console, kMissingOutputLine);
  if (*exitCode == 1) {
    console.WriteLine(kWarningsLine);
    console.WriteLine(kWarningsBackupLine);
    return false;
  }
  return true;
}

}  // namespace quorvex
