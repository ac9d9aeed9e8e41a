#ifndef QUORVEX_GRAPH_ENGINE_AVI_PRESENTATION_TIMES_H_
#define QUORVEX_GRAPH_ENGINE_AVI_PRESENTATION_TIMES_H_

#include <deque>
#include <memory>
#include <vector>

#include "graph/engine/libav_handles.h"
#include "graph/engine/mpeg4_frame_order.h"
#include "graph/engine/presentation_order.h"

namespace quorvex::engine {

// AVI keeps one time per frame, its place in decoding order; with B-frames
// the presentation times must be worked out, or frames are shown out of
// order and the video starts late. H.264 streams are ordered by the picture
// order count that libavcodec's parser reads from each slice header, MPEG-4
// Part 2 streams by their frame types. Other streams pass as they are.
class AviPresentationTimes {
 public:
  // Nullptr when no stream of the file needs it.
  static std::unique_ptr<AviPresentationTimes> For(const AVFormatContext& format);
  ~AviPresentationTimes();

  // Same contract as SpliceJoiner: true when the packet goes on at once.
  bool Push(AVPacket* packet);
  void Finish();
  bool Pop(AVPacket* packet);

 private:
  struct Stream {
    Stream();
    ~Stream();
    std::unique_ptr<PresentationOrder> order;  // null: passes unchanged
    AVCodecParserContext* parser = nullptr;    // H.264 only
    AVCodecContext* codec = nullptr;           // what the parser reads into
    std::unique_ptr<Mpeg4FrameOrder> mpeg4;    // MPEG-4 Part 2 only
  };

  void Collect(Stream& stream);

  std::vector<std::unique_ptr<Stream>> streams_;
  std::deque<PacketHandle> released_;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_AVI_PRESENTATION_TIMES_H_
