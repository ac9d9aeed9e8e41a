#ifndef QUORVEX_TIMECODES_MKVMERGE_COMMAND_LINE_H_
#define QUORVEX_TIMECODES_MKVMERGE_COMMAND_LINE_H_

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/process_runner.h"

namespace quorvex {

// One mkvmerge run that copies `input` into `output` with the timecode file
// applied to the video track, which is also the only video track copied.
struct RetimeInvocation {
  std::string mkvmergePath;
  std::string output;
  std::string timecodeFile;
  std::string input;
  uint32_t videoTrackId = 0;
};

// The Windows command line: each name inside double quotes exactly as it
// stands, the items separated by single blanks.
std::string RetimeCommandLine(const RetimeInvocation& run);
// The same items as an argument vector, for starting without a shell.
std::vector<std::string> RetimeArguments(const RetimeInvocation& run);
// Both forms, for whichever platform starts it.
ProcessCommand RetimeCommand(const RetimeInvocation& run);

// Lists the tracks of `input`. The listing is asked for in English because
// the track lines are read by their words, which mkvmerge translates.
ProcessCommand IdentifyCommand(const std::string& mkvmergePath, const std::string& input);

// mkvmerge reads some leading characters of an argument as syntax of its
// own: "@" names an option file, "+" appends, "=" and parentheses change how
// files are read, "-" starts an option. A relative name that begins with one
// of them gets "./" in front, which names the same file.
std::string ShieldFileArgument(std::string_view name);

}  // namespace quorvex

#endif  // QUORVEX_TIMECODES_MKVMERGE_COMMAND_LINE_H_
