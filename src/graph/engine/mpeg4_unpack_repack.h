#ifndef QUORVEX_GRAPH_ENGINE_MPEG4_UNPACK_REPACK_H_
#define QUORVEX_GRAPH_ENGINE_MPEG4_UNPACK_REPACK_H_

#include "graph/engine/libav_handles.h"
#include "graph/engine/stream_repack.h"

namespace quorvex::engine {

// MPEG-4 Part 2 video as DivX and Xvid write it into AVI, with "packed"
// B-frames (a reference frame and the next B-frame in one packet, a
// placeholder in the next), is unpacked into one picture per packet, the
// form Matroska and raw streams want, by libavcodec's mpeg4_unpack_bframes
// filter. Streams that are not packed pass through it unchanged.
class Mpeg4UnpackRepack : public StreamRepack {
 public:
  bool DescribeOutput(const AVStream& source, AVCodecParameters* output) override;
  bool Repack(AVPacket* packet) override;

 private:
  BitstreamFilterHandle filter_;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_MPEG4_UNPACK_REPACK_H_
