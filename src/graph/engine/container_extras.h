#ifndef QUORVEX_GRAPH_ENGINE_CONTAINER_EXTRAS_H_
#define QUORVEX_GRAPH_ENGINE_CONTAINER_EXTRAS_H_

#include <cstdint>

extern "C" {
#include <libavformat/avformat.h>
}

namespace quorvex::engine {

// What a source container holds besides its video and audio streams and
// no pin carries: chapters, and attached files such as fonts and cover art.
// Both belong to the whole file, so a remux keeps them whichever streams it
// takes.

// Copies the chapters with their names, moved by the same offset as the
// tracks (in microseconds) so they stay on their pictures.
bool CopyChapters(const AVFormatContext& source, int64_t offset, AVFormatContext& output);

// Adds one attachment stream per attached file: its name, MIME type,
// description and data. Cover art, which the splitter offers as a picture
// stream, goes back to being the attached file it was.
bool CopyAttachments(const AVFormatContext& source, AVFormatContext& output);

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_CONTAINER_EXTRAS_H_
