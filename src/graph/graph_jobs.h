#ifndef QUORVEX_GRAPH_GRAPH_JOBS_H_
#define QUORVEX_GRAPH_GRAPH_JOBS_H_

#include <string>

#include "graph/interfaces.h"
#include "platform/console.h"

namespace quorvex {

// Copies the wanted video and audio streams of `sourceFile` into the Matroska
// file `destFile`. Writes its own failure lines; true only when the graph ran
// to completion.
bool RemuxToMatroska(ClassFactory& factory, Console& console, const std::u16string& sourceFile,
                     const std::u16string& destFile, bool videoOnly, bool audioOnly);

// Writes each wanted stream of `sourceFile` into a raw file named after
// `destFile` (".mpv" for video, ".mpa" for audio).
bool DemuxToRawFiles(ClassFactory& factory, Console& console, const std::u16string& sourceFile,
                     const std::u16string& destFile, bool videoOnly, bool audioOnly);

}  // namespace quorvex

#endif  // QUORVEX_GRAPH_GRAPH_JOBS_H_
