#include "graph/engine/avi_presentation_times.h"

#include <span>

namespace quorvex::engine {

AviPresentationTimes::Stream::Stream() = default;

AviPresentationTimes::Stream::~Stream() {
  if (parser != nullptr) av_parser_close(parser);
  avcodec_free_context(&codec);
}

AviPresentationTimes::~AviPresentationTimes() = default;

std::unique_ptr<AviPresentationTimes> AviPresentationTimes::For(const AVFormatContext& format) {
  if (std::string_view(format.iformat->name) != "avi") return nullptr;
  std::unique_ptr<AviPresentationTimes> times(new AviPresentationTimes());
  bool any = false;
  for (unsigned i = 0; i < format.nb_streams; ++i) {
    auto stream = std::make_unique<Stream>();
    const AVCodecParameters& codec = *format.streams[i]->codecpar;
    // Only a stream whose frames the decoder holds back has frames shown
    // out of decoding order.
    if (codec.codec_type == AVMEDIA_TYPE_VIDEO && codec.video_delay > 0) {
      if (codec.codec_id == AV_CODEC_ID_H264) {
        stream->parser = av_parser_init(AV_CODEC_ID_H264);
        stream->codec = avcodec_alloc_context3(nullptr);
        if (stream->parser == nullptr || stream->codec == nullptr ||
            avcodec_parameters_to_context(stream->codec, &codec) < 0) {
          return nullptr;
        }
        stream->parser->flags |= PARSER_FLAG_COMPLETE_FRAMES;
        stream->order = std::make_unique<PresentationOrder>(codec.video_delay);
      } else if (codec.codec_id == AV_CODEC_ID_MPEG4) {
        stream->mpeg4 = std::make_unique<Mpeg4FrameOrder>();
        stream->order = std::make_unique<PresentationOrder>(1);
      }
    }
    any = any || stream->order != nullptr;
    times->streams_.push_back(std::move(stream));
  }
  return any ? std::move(times) : nullptr;
}

void AviPresentationTimes::Collect(Stream& stream) {
  for (PacketHandle ready = stream.order->Pop(); ready != nullptr; ready = stream.order->Pop()) {
    released_.push_back(std::move(ready));
  }
}

bool AviPresentationTimes::Push(AVPacket* packet) {
  const auto index = static_cast<size_t>(packet->stream_index);
  if (packet->stream_index < 0 || index >= streams_.size() || streams_[index]->order == nullptr) {
    if (released_.empty()) return true;
    PacketHandle taken = MakePacket();
    av_packet_move_ref(taken.get(), packet);
    released_.push_back(std::move(taken));
    return false;
  }
  Stream& stream = *streams_[index];
  const std::span<const uint8_t> data(packet->data, static_cast<size_t>(std::max(packet->size, 0)));
  int64_t key = 0;
  bool restart = false;
  if (stream.mpeg4 != nullptr) {
    key = stream.mpeg4->Next(data);
  } else {
    uint8_t* parsed = nullptr;
    int parsedSize = 0;
    av_parser_parse2(stream.parser, stream.codec, &parsed, &parsedSize, packet->data, packet->size, AV_NOPTS_VALUE,
                     AV_NOPTS_VALUE, 0);
    key = stream.parser->output_picture_number;
    restart = stream.parser->key_frame == 1;
  }
  PacketHandle taken = MakePacket();
  av_packet_move_ref(taken.get(), packet);
  stream.order->Push(std::move(taken), key, restart);
  Collect(stream);
  return false;
}

void AviPresentationTimes::Finish() {
  for (auto& stream : streams_) {
    if (stream->order == nullptr) continue;
    stream->order->Finish();
    Collect(*stream);
  }
}

bool AviPresentationTimes::Pop(AVPacket* packet) {
  if (released_.empty()) return false;
  av_packet_move_ref(packet, released_.front().get());
  released_.pop_front();
  return true;
}

}  // namespace quorvex::engine
