#include "cli/usage.h"

#include <array>
#include <string_view>

namespace quorvex {

void ShowUsage(Console& console) {
  static constexpr std::array<std::string_view, 28> kLines{
      "quorvex v1.5, by the quorvex developers",
      "",
      "This tool can either demux video/audio to separate raw files.",
      "Or it can remux video/audio into a Matroska (*.mkv) container.",
      "",
      "quorvex sourceFile [destFile] [-options]",
      "",
      "Options:",
      "-demux      demuxes video/audio streams to separate raw files",
      "-videoonly  remuxes/demuxes only the video stream, ignores audio",
      "-audioonly  remuxes/demuxes only the audio streams, ignores video",
      "-24p        rewrites the destination MKV timestamps to 23.976",
      "-25p        rewrites the destination MKV timestamps to 25.000",
      "-30p        rewrites the destination MKV timestamps to 29.970",
      "-no24p      don't rewrite the destination MKV timestamps",
      "",
      "Support input formats:",
      "*.ts",
      "*.m2ts",
      "*.vob",
      "*.evo",
      "*.avi",
      "*.wmv",
      "*.mkv",
      "",
      "The following software is needed:",
      "(1) http://haali.su/mkv/",
      "(2) https://mkvtoolnix.download/downloads.html#windows",
  };
  for (std::string_view line : kLines) console.WriteLine(line);
}

}  // namespace quorvex
