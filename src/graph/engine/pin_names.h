#ifndef QUORVEX_GRAPH_ENGINE_PIN_NAMES_H_
#define QUORVEX_GRAPH_ENGINE_PIN_NAMES_H_

#include <string>

extern "C" {
#include <libavformat/avformat.h>
}

namespace quorvex::engine {

// The splitter's name for a stream: its kind and its 1-based position among
// all the source's streams, "Video 1", "Audio 2", "Subtitle 3", "Data 4".
// Cover art is an attachment, never a video the jobs would copy.
std::u16string OutputPinName(const AVStream& stream, int position);

// The muxer's n-th input pin, 1-based: "Input 1", "Input 2", ...
std::u16string MuxerInputPinName(int number);

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_PIN_NAMES_H_
