#include "timecodes/timecode_file.h"

#include "text/file_names.h"

namespace quorvex {

std::string TimecodeFileContents(std::string_view rate) {
  std::string contents = "# timecode format v1\r\nassume ";
  contents += rate;
  contents += "\r\n";
  return contents;
}

std::string TimecodeFileName(std::string_view output) { return ReplaceExtension(output, ".24p.txt"); }

}  // namespace quorvex
