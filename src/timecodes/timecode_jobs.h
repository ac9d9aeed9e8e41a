#ifndef QUORVEX_TIMECODES_TIMECODE_JOBS_H_
#define QUORVEX_TIMECODES_TIMECODE_JOBS_H_

#include <string>

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

// Re-times `destination` under its own name, keeping it safe under a backup
// name while mkvmerge runs.
bool ApplyTimecodesInPlace(TimecodeServices& services, const std::string& destination, const std::string& rate);

}  // namespace quorvex

#endif  // QUORVEX_TIMECODES_TIMECODE_JOBS_H_
