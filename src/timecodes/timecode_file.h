#ifndef QUORVEX_TIMECODES_TIMECODE_FILE_H_
#define QUORVEX_TIMECODES_TIMECODE_FILE_H_

#include <string>
#include <string_view>

namespace quorvex {

// mkvmerge's "timecode format v1" declaring one constant rate: two lines,
// each ended by CR LF, no byte-order mark.
std::string TimecodeFileContents(std::string_view rate);

// The timecode file lies beside the output and is named after it; the
// suffix is ".24p.txt" whatever the rate.
std::string TimecodeFileName(std::string_view output);

}  // namespace quorvex

#endif  // QUORVEX_TIMECODES_TIMECODE_FILE_H_
