#ifndef QUORVEX_GRAPH_ENGINE_STREAM_REPACK_H_
#define QUORVEX_GRAPH_ENGINE_STREAM_REPACK_H_

#include <memory>

extern "C" {
#include <libavformat/avformat.h>
}

namespace quorvex::engine {

// Some streams are stored by Matroska and by raw files only in another
// packing of the same data: Blu-ray and DVD LPCM become little-endian PCM,
// AAC in LATM becomes raw AAC access units. A repack changes how the samples
// or access units are laid out in the packets, never what they hold: nothing
// is re-encoded.
class StreamRepack {
 public:
  virtual ~StreamRepack() = default;

  // The codec parameters of the repacked stream, filled from the source's.
  virtual bool DescribeOutput(const AVStream& source, AVCodecParameters* output) = 0;
  // Replaces the packet's data with its repacked form; timestamps and
  // duration stay. False when the packet cannot be repacked. A packet left
  // empty holds nothing that can be stored (no decoder could use it
  // either) and is skipped.
  virtual bool Repack(AVPacket* packet) = 0;
};

// The repack the stream needs, or nullptr when it is stored as it is.
std::unique_ptr<StreamRepack> RepackFor(const AVStream& source);

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_STREAM_REPACK_H_
