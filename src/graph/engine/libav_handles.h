#ifndef QUORVEX_GRAPH_ENGINE_LIBAV_HANDLES_H_
#define QUORVEX_GRAPH_ENGINE_LIBAV_HANDLES_H_

// Owning handles for the libav objects the engine keeps, so every path out of
// a function gives them back.

#include <memory>

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
}

namespace quorvex::engine {

struct PacketDeleter {
  void operator()(AVPacket* packet) const { av_packet_free(&packet); }
};
using PacketHandle = std::unique_ptr<AVPacket, PacketDeleter>;

inline PacketHandle MakePacket() { return PacketHandle(av_packet_alloc()); }

struct InputFormatDeleter {
  void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using InputFormatHandle = std::unique_ptr<AVFormatContext, InputFormatDeleter>;

// An output context whose I/O the caller owns separately.
struct OutputFormatDeleter {
  void operator()(AVFormatContext* context) const { avformat_free_context(context); }
};
using OutputFormatHandle = std::unique_ptr<AVFormatContext, OutputFormatDeleter>;

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_LIBAV_HANDLES_H_
