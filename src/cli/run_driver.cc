#include "cli/run_driver.h"

#include <optional>

#include "cli/run_options.h"
#include "cli/usage.h"
#include "text/conversions.h"
#include "text/file_names.h"
#include "text/fold.h"

namespace quorvex {
namespace {

constexpr int kSuccess = 0;
constexpr int kFailure = 1;

std::string CleanName(std::string name) {
  StripChar(name, '"');
  return TrimBlanks(name);
}

bool HasExtension(const std::string& name, std::string_view extension) {
  return SameTextFold(ExtensionOf(name), extension);
}

// Both names lead to one existing file: a failed job would then delete the
// user's source along with its own output.
bool NameSameFile(FileSystem& files, const std::string& a, const std::string& b) {
  const std::optional<FileIdentity> first = files.Identify(a);
  const std::optional<FileIdentity> second = files.Identify(b);
  return first && second && first->SameFileAs(*second);
}

int Remux(const RunOptions& options, bool defaultRate, Jobs& jobs, FileSystem& files, Console& console) {
  console.WriteLine("Muxing source file to Matroska container. Please wait...");
  const std::optional<FileIdentity> before = files.Identify(options.destFile);
  if (!jobs.RemuxToMatroska(WidenText(options.sourceFile), WidenText(options.destFile), options.videoOnly,
                            options.audioOnly)) {
    // Only what this run made or changed is removed: a file that was there
    // before and that the failed job never touched is the user's.
    const std::optional<FileIdentity> after = files.Identify(options.destFile);
    if (after && after != before) files.RemoveFile(options.destFile);
    return kFailure;
  }
  if (!options.fps.empty() && !jobs.ApplyTimecodesInPlace(options.destFile, options.fps, defaultRate)) {
    return kFailure;
  }
  console.WriteLine("Done.");
  return kSuccess;
}

}  // namespace

int RunDriver(const std::vector<std::string>& arguments, Jobs& jobs, FileSystem& files, Console& console) {
  if (arguments.empty()) {
    ShowUsage(console);
    return kFailure;
  }
  RunOptions options;
  ParseArguments(arguments, options, console);
  options.sourceFile = CleanName(options.sourceFile);
  options.destFile = CleanName(options.destFile);

  if (options.sourceFile.empty()) {
    console.WriteLine("No source file specified.");
    return kFailure;
  }
  if (!files.PathExists(options.sourceFile)) {
    console.WriteLine("Source file \"" + options.sourceFile + "\" not found.");
    return kFailure;
  }
  if (options.destFile.empty()) options.destFile = DefaultDestination(options.sourceFile);

  if (options.demux) {
    console.WriteLine("Demuxing source file streams. Please wait...");
    if (!jobs.DemuxToRawFiles(WidenText(options.sourceFile), WidenText(options.destFile), options.videoOnly,
                              options.audioOnly)) {
      return kFailure;
    }
    console.WriteLine("Done.");
    return kSuccess;
  }

  if (!HasExtension(options.destFile, ".mkv")) {
    console.WriteLine("The file extension of the destination file must be \".mkv\".");
    return kFailure;
  }
  if (NameSameFile(files, options.sourceFile, options.destFile)) {
    console.WriteLine("The destination file must not be the source file.");
    return kFailure;
  }
  const bool defaultRate = !options.no24p && options.fps.empty() &&
                           (HasExtension(options.sourceFile, ".m2ts") || HasExtension(options.sourceFile, ".evo"));
  if (defaultRate) options.fps = "23.976";

  const bool retimeOnly = HasExtension(options.sourceFile, ".mkv") && !options.videoOnly && !options.audioOnly;
  if (!retimeOnly) return Remux(options, defaultRate, jobs, files, console);

  if (options.fps.empty()) {
    console.WriteLine("Nothing to do for me...");
    return kFailure;
  }
  if (!jobs.ApplyTimecodes(options.sourceFile, options.destFile, options.fps)) return kFailure;
  console.WriteLine("Done.");
  return kSuccess;
}

}  // namespace quorvex
