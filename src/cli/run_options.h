#ifndef QUORVEX_CLI_RUN_OPTIONS_H_
#define QUORVEX_CLI_RUN_OPTIONS_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"
#include "platform/native.h"

namespace quorvex {

// The parsed command line of one run.
struct RunOptions {
  std::string sourceFile;
  std::string destFile;
  bool videoOnly = false;
  bool audioOnly = false;
  bool demux = false;
  bool no24p = false;
  std::string fps;  // "23.976", "25.000", "29.970" or empty
};

// Fills `options` from the arguments, writing one line per unrecognised option.
// `optionPrefixes` holds the characters that introduce an option.
void ParseArguments(const std::vector<std::string>& arguments, RunOptions& options, Console& console,
                    std::string_view optionPrefixes = NativeOptionPrefixes());

// The destination used when none was given: "x.mkv" for "x.ts", "x.new.mkv" for "x.mkv".
std::string DefaultDestination(const std::string& sourceFile);

}  // namespace quorvex

#endif  // QUORVEX_CLI_RUN_OPTIONS_H_
