#include "timecodes/timecode_lines.h"

namespace quorvex {

std::string FailedToLocateLine(std::string_view programFileName) {
  return "Failed to locate \"" + std::string(programFileName) + "\". Is mkvtoolnix installed?";
}

std::string StartingFailedLine(std::string_view programFileName) {
  return "Starting \"" + std::string(programFileName) + "\" failed.";
}

}  // namespace quorvex
