#ifndef QUORVEX_TIMECODES_APPLY_TIMECODES_H_
#define QUORVEX_TIMECODES_APPLY_TIMECODES_H_

#include <string>
#include <string_view>

#include "platform/console.h"
#include "platform/file_system.h"
#include "platform/process_runner.h"
#include "platform/registry_reader.h"

namespace quorvex {

// What the re-timing jobs need of the platform.
struct TimecodeServices {
  Console& console;
  FileSystem& files;
  ProcessRunner& processes;
  RegistryReader& registry;
};

// Runs mkvmerge to copy `input` into `output` with the video re-timed to
// `rate`. Writes its own lines; true only when mkvmerge succeeded cleanly.
bool ApplyTimecodes(TimecodeServices& services, const std::string& input, const std::string& output,
                    const std::string& rate);

// Where the rate of an in-place re-time comes from: an option, which is
// always applied, or the default of the source's format, which is applied
// only to video that runs at film rate (24000/1001 fps).
enum class RateChoice { kOption, kSourceDefault };

// Re-times `destination` under its own name, keeping it safe under a backup
// name while mkvmerge runs. With the source's default rate, video at another
// rate keeps its own timing (one line says so) and a file without video is
// left as it is; both count as success.
bool ApplyTimecodesInPlace(TimecodeServices& services, const std::string& destination, const std::string& rate,
                           RateChoice choice = RateChoice::kOption);

// The console lines of the re-timing jobs, gathered so the jobs and their
// tests agree on every byte.
inline constexpr std::string_view kTimecodesNotSetLine =
    "MKV file was successfully created, but the timecodes are (probably) not set.";
inline constexpr std::string_view kNoVideoTrackLine = "mkvmerge found no video track to re-time.";
inline constexpr std::string_view kTimecodeFileFailedLine = "Error creating timecodes helper file.";
inline constexpr std::string_view kPleaseWaitLine =
    "Adding timecodes to MKV file by using \"mkvmerge\". Please wait...";
inline constexpr std::string_view kErrorsLine = "mkvmerge reported one or more errors.";
inline constexpr std::string_view kMissingOutputLine = "mkvmerge unexpectedly didn't create a new MKV file.";
inline constexpr std::string_view kWarningsLine =
    "mkvmerge reported some warnings. Please check if the MKV file plays correctly.";
inline constexpr std::string_view kWarningsBackupLine =
    "The file \"*.old.mkv\" should be alright, but (probably) has no timecodes.";
inline constexpr std::string_view kRenameFailedLine = "Error renaming MKV file.";
// Unlike the job's trailer, nothing has been tried yet: no "(probably)".
inline constexpr std::string_view kRenameFailedTrailerLine =
    "MKV file was successfully created, but the timecodes are not set.";

// The line that names mkvmerge's program file, which differs by platform
// ("mkvmerge" or "mkvmerge.exe").
std::string StartingFailedLine(std::string_view programFileName);

}  // namespace quorvex

#endif  // QUORVEX_TIMECODES_APPLY_TIMECODES_H_
