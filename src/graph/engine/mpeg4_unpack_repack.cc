#include "graph/engine/mpeg4_unpack_repack.h"

namespace quorvex::engine {

bool Mpeg4UnpackRepack::DescribeOutput(const AVStream& source, AVCodecParameters* output) {
  const AVBitStreamFilter* unpack = av_bsf_get_by_name("mpeg4_unpack_bframes");
  AVBSFContext* context = nullptr;
  if (unpack == nullptr || av_bsf_alloc(unpack, &context) < 0) return false;
  filter_.reset(context);
  if (avcodec_parameters_copy(context->par_in, source.codecpar) < 0) return false;
  context->time_base_in = source.time_base;
  // The filter clears the packed mark in the stream's header data too.
  if (av_bsf_init(context) < 0) return false;
  return avcodec_parameters_copy(output, context->par_out) >= 0;
}

bool Mpeg4UnpackRepack::Repack(AVPacket* packet) {
  // An empty packet would tell the filter that the stream has ended.
  if (packet->size == 0) return true;
  // One packet in, one out: a packed B-frame comes out in its placeholder's place.
  if (av_bsf_send_packet(filter_.get(), packet) < 0) return false;
  return av_bsf_receive_packet(filter_.get(), packet) >= 0;
}

}  // namespace quorvex::engine
