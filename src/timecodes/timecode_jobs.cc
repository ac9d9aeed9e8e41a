// TEMPORARY placeholder until the re-timing jobs land; replaced wholesale.
#include "timecodes/timecode_jobs.h"

namespace quorvex {

bool ApplyTimecodes(TimecodeServices& services, const std::string&, const std::string&, const std::string&) {
  services.console.WriteLine("Failed to locate \"mkvmerge\". Is mkvtoolnix installed?");
  return false;
}

bool ApplyTimecodesInPlace(TimecodeServices& services, const std::string&, const std::string&) {
  services.console.WriteLine("Failed to locate \"mkvmerge\". Is mkvtoolnix installed?");
  return false;
}

}  // namespace quorvex
