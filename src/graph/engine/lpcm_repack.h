#ifndef QUORVEX_GRAPH_ENGINE_LPCM_REPACK_H_
#define QUORVEX_GRAPH_ENGINE_LPCM_REPACK_H_

#include <memory>

#include "graph/engine/stream_repack.h"

extern "C" {
#include <libavcodec/avcodec.h>
}

namespace quorvex::engine {

// Blu-ray and DVD LPCM as little-endian PCM, the form Matroska, WAV files,
// players and mkvmerge take: 16-bit samples as 16 bits, 20- and 24-bit ones
// as 24 bits, in WAV channel order, without the padding channel odd Blu-ray
// layouts carry. libavcodec's own decoders unpack the disc packing; unpacking
// is lossless, so every sample arrives as it was.
class LpcmRepack final : public StreamRepack {
 public:
  // Nullptr when the stream is no disc LPCM or its decoder is missing.
  static std::unique_ptr<LpcmRepack> Create(const AVStream& source);

  bool DescribeOutput(const AVStream& source, AVCodecParameters* output) override;
  // A packet whose samples the decoder holds back for the next one comes
  // out empty, and so does a damaged one: the track goes on without it,
  // and the first such packet of the track is reported.
  bool Repack(AVPacket* packet) override;

 private:
  struct DecoderDeleter {
    void operator()(AVCodecContext* context) const { avcodec_free_context(&context); }
  };
  struct FrameDeleter {
    void operator()(AVFrame* frame) const { av_frame_free(&frame); }
  };

  LpcmRepack() = default;
  bool LeaveOut(AVPacket* packet);

  const AVStream* source_ = nullptr;
  bool damageReported_ = false;
  bool widenHeaders_ = false;
  std::unique_ptr<AVCodecContext, DecoderDeleter> decoder_;
  std::unique_ptr<AVFrame, FrameDeleter> frame_;
  int outputBytesPerSample_ = 0;
  int outputChannels_ = 0;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_LPCM_REPACK_H_
