#ifndef QUORVEX_GRAPH_DEMUX_JOB_H_
#define QUORVEX_GRAPH_DEMUX_JOB_H_

#include <string>
#include <string_view>

#include "graph/interfaces.h"
#include "platform/console.h"
#include "text/file_names.h"

namespace quorvex {

// Writes each wanted stream of `sourceFile` into a raw file named after
// `destFile` (".mpv" for video, ".mpa" for audio).
bool DemuxToRawFiles(ClassFactory& factory, Console& console, const std::u16string& sourceFile,
                     const std::u16string& destFile, bool videoOnly, bool audioOnly);

// The raw file a wanted pin is written to: `destFile` with its extension
// replaced by "." + the pin name from its seventh unit on + ".mpv" for a video
// pin or ".mpa" otherwise. A pin "Video 1" turns film.mkv into film.1.mpv.
std::u16string DumpFileNameFor(std::u16string_view destFile, const TPinInfo& pin,
                               const FileNameRules& rules = NativeFileNameRules());

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_DEMUX_JOB_H_
