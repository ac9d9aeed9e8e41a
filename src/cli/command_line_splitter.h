#ifndef QUORVEX_CLI_COMMAND_LINE_SPLITTER_H_
#define QUORVEX_CLI_COMMAND_LINE_SPLITTER_H_

#include <string>
#include <string_view>
#include <vector>

namespace quorvex {

// Cuts a Windows process command line into the argument list, without the
// program's own name: blanks and control characters separate, double quotes
// group and are dropped, a pair of quotes standing alone makes no argument.
// `isLeadByte` tells the lead bytes of the multi-byte code page (null for a
// single-byte one), so the second byte of a character is never split off or
// taken for a quote.
std::vector<std::string> SplitCommandLine(std::string_view commandLine, bool (*isLeadByte)(unsigned char));

}  // namespace quorvex

#endif  // QUORVEX_CLI_COMMAND_LINE_SPLITTER_H_
