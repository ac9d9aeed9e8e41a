// Re-times a Matroska file by running mkvmerge with a timecode file that
// declares one constant rate: into a new file, or in place under the
// remuxed file's own name, keeping the remuxed file aside until the re-timed
// one is known to be good.
#include "timecodes/apply_timecodes.h"

#include <cstdint>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>

#include "platform/diagnostics.h"
#include "platform/native.h"
#include "text/file_names.h"
#include "timecodes/mkvmerge_invocation.h"
#include "timecodes/mkvmerge_locator.h"

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

// How one mkvmerge run ended. Only a plain failure is followed by the
// trailer, and only when the MKV file the trailer speaks of exists.
enum class Verdict { kSuccess, kWarnings, kFailed };

Verdict Fail(Console& console, std::string_view line) {
  console.WriteLine(line);
  return Verdict::kFailed;
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

// Puts the remuxed file back under the destination name unless the re-timed
// file was kept, also when the run ends abnormally.
class Backup {
 public:
  Backup(FileSystem& files, std::string destination, std::string backup)
      : files_(files), destination_(std::move(destination)), backup_(std::move(backup)) {}
  ~Backup() {
    if (kept_) return;
    // The move back never replaces a file, so whatever the job left under
    // the destination name goes first.
    files_.RemoveFile(destination_);
    files_.MoveFileNoReplace(backup_, destination_);
  }
  Backup(const Backup&) = delete;
  Backup& operator=(const Backup&) = delete;

  void Discard() {
    kept_ = true;
    files_.RemoveFile(backup_);
  }

 private:
  FileSystem& files_;
  std::string destination_;
  std::string backup_;
  bool kept_ = false;
};

// mkvmerge's listing of `file`; nullopt when mkvmerge cannot be started. A
// listing that mkvmerge reports as failed is unreadable.
std::optional<TrackListing> ListTracks(ProcessRunner& processes, const std::string& mkvmerge, const std::string& file) {
  const std::optional<CapturedRun> run = processes.RunCapturingOutput(IdentifyCommand(mkvmerge, file));
  if (!run) return std::nullopt;
  if (run->exitCode > 1) return TrackListing{};
  return ReadTrackListing(run->standardOutput);
}

// Film rate, 24000/1001 frames per second, as nanoseconds per frame.
constexpr double kFilmFrameDuration = 1e9 * 1001 / 24000;
// Half the distance to 24.000 fps (0.1% away), so that true 24 fps video is
// never taken for film.
constexpr double kFilmTolerance = 0.0005;

bool RunsAtFilmRate(const VideoTrack& video) {
  if (!video.frameDuration) return false;
  const double deviation = static_cast<double>(*video.frameDuration) / kFilmFrameDuration - 1;
  return deviation <= kFilmTolerance && deviation >= -kFilmTolerance;
}

std::string KeptTimingLine(const VideoTrack& video) {
  if (!video.frameDuration) return "The video has no constant frame rate: its own timing is kept.";
  char rate[32];
  std::snprintf(rate, sizeof rate, "%.3f", 1e9 / static_cast<double>(*video.frameDuration));
  return std::string("The video runs at ") + rate + " fps: its own timing is kept.";
}

// mkvmerge's own account of a failed run, for the diagnostic line.
std::string MkvmergeEnd(uint32_t exitCode) {
  if ((exitCode & 0x80000000u) != 0) {
    return "mkvmerge ended abnormally (code " + std::to_string(exitCode & 0x7FFFFFFFu) + ")";
  }
  return "mkvmerge ended with exit code " + std::to_string(exitCode);
}

}  // namespace

std::string StartingFailedLine(std::string_view programFileName) {
  return "Starting \"" + std::string(programFileName) + "\" failed.";
}

namespace {

// Runs mkvmerge to re-time `input` into `output` and writes every line of the
// verdict but the trailer.
Verdict Retime(TimecodeServices& services, const std::string& input, const std::string& output,
               const std::string& rate) {
  Console& console = services.console;
  FileSystem& files = services.files;
  const MkvmergeNaming naming = NativeMkvmergeNaming();

  const std::string mkvmerge = LocateMkvmerge(services.registry, files, console, naming);
  if (mkvmerge.empty()) {
    Diagnose(std::string(naming.programFileName) + ": no MKVToolNix installation found");
    return Verdict::kFailed;
  }

  // The video track's ID differs between mkvmerge versions, and a wrong one
  // makes mkvmerge drop the video while reporting success.
  const std::optional<TrackListing> listing = ListTracks(services.processes, mkvmerge, input);
  if (!listing) {
    Diagnose(mkvmerge + ": cannot be started");
    return Fail(console, StartingFailedLine(naming.programFileName));
  }
  if (!listing->firstVideo) {
    Diagnose(input + (listing->readable ? ": no video track" : ": mkvmerge cannot list its tracks"));
    return Fail(console, kNoVideoTrackLine);
  }
  const uint32_t videoTrack = listing->firstVideo->id;

  const std::string timecodeFile = TimecodeFileName(output);
  if (!files.WriteWholeFile(timecodeFile, TimecodeFileContents(rate))) {
    Diagnose(timecodeFile + ": cannot be written");
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
      services.processes.RunInConsole(RetimeCommand({mkvmerge, output, timecodeFile, input, videoTrack}));
  timecodes.reset();
  if (!exitCode) {
    Diagnose(mkvmerge + ": cannot be started");
    return Fail(console, StartingFailedLine(naming.programFileName));
  }
  console.WriteLine("");

  if (*exitCode > 1) {
    if (RunChangedOutput(files, input, output, outputBefore)) files.RemoveFile(output);
    Diagnose(output + ": " + MkvmergeEnd(*exitCode));
    return Fail(console, kErrorsLine);
  }
  if (!files.PathExists(output)) {
    Diagnose(output + ": mkvmerge ended without writing it");
    return Fail(console, kMissingOutputLine);
  }
  if (*exitCode == 1) {
    console.WriteLine(kWarningsLine);
    console.WriteLine(kWarningsBackupLine);
    return Verdict::kWarnings;
  }
  return Verdict::kSuccess;
}

}  // namespace

bool ApplyTimecodes(TimecodeServices& services, const std::string& input, const std::string& output,
                    const std::string& rate) {
  const Verdict verdict = Retime(services, input, output, rate);
  // Re-timed into a new file, the MKV file the trailer speaks of is the
  // input, which keeps its old timecodes.
  if (verdict == Verdict::kFailed && services.files.PathExists(input)) {
    services.console.WriteLine(kTimecodesNotSetLine);
  }
  return verdict == Verdict::kSuccess;
}

bool ApplyTimecodesInPlace(TimecodeServices& services, const std::string& destination, const std::string& rate,
                           RateChoice choice) {
  if (choice == RateChoice::kSourceDefault) {
    // The default suits film transfers only; any other video keeps its own
    // timing, and a file without video has nothing to re-time.
    const std::string mkvmerge = LocateMkvmerge(services.registry, services.files, services.console);
    if (mkvmerge.empty()) {
      Diagnose(std::string(NativeMkvmergeFileName()) + ": no MKVToolNix installation found");
      services.console.WriteLine(kTimecodesNotSetLine);
      return false;
    }
    const std::optional<TrackListing> listing = ListTracks(services.processes, mkvmerge, destination);
    if (listing && listing->readable) {
      if (!listing->firstVideo) return true;
      if (!RunsAtFilmRate(*listing->firstVideo)) {
        services.console.WriteLine(KeptTimingLine(*listing->firstVideo));
        return true;
      }
    }
  }
  const std::string backupName = ReplaceExtension(destination, ".old.mkv");
  if (!services.files.MoveFileNoReplace(destination, backupName)) {
    Diagnose(destination + ": cannot be moved aside to " + backupName +
             (services.files.PathExists(backupName) ? ", which exists" : ""));
    services.console.WriteLine(kRenameFailedLine);
    services.console.WriteLine(kRenameFailedTrailerLine);
    return false;
  }
  Verdict verdict = Verdict::kFailed;
  {
    Backup backup(services.files, destination, backupName);
    verdict = Retime(services, backupName, destination, rate);
    if (verdict == Verdict::kSuccess) backup.Discard();
  }
  // The remuxed file is back under its name, unless the move back failed.
  if (verdict == Verdict::kFailed && services.files.PathExists(destination)) {
    services.console.WriteLine(kTimecodesNotSetLine);
  }
  return verdict == Verdict::kSuccess;
}

}  // namespace quorvex
