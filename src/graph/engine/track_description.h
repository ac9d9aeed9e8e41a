#ifndef QUORVEX_GRAPH_ENGINE_TRACK_DESCRIPTION_H_
#define QUORVEX_GRAPH_ENGINE_TRACK_DESCRIPTION_H_

#include <vector>

extern "C" {
#include <libavformat/avformat.h>
}

namespace quorvex::engine {

// Describes a Matroska track as its source stream is: language, name, the
// flags a player selects tracks by, the pixel shape, the frame rate. Only
// what describes the track travels: other source tags (handler names,
// bit-rate variants) would become stray Matroska tags. The codec
// parameters must be in place already.
void CopyTrackDescription(const AVStream& source, AVStream& target);

// The pixel shape of a video stream, 0/1 when unknown. Transport and
// programme stream splitters leave it in the codec parameters only.
AVRational PixelShape(const AVStream& stream);

// Marks the first video and the first audio track default when no source
// of the tracks carries a default flag (transport and programme streams,
// AVI), so players with strict track selection still pick them; otherwise
// the sources' own flags stay as they are. `tracks` are in the order of
// `sources`.
void MarkDefaultTracks(const std::vector<const AVStream*>& sources, const std::vector<AVStream*>& tracks);

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_TRACK_DESCRIPTION_H_
