#include "graph/engine/track_description.h"

extern "C" {
#include <libavcodec/codec_desc.h>
#include <libavutil/dict.h>
}

namespace quorvex::engine {
namespace {

constexpr int kTravellingFlags = AV_DISPOSITION_DEFAULT | AV_DISPOSITION_FORCED | AV_DISPOSITION_HEARING_IMPAIRED |
                                 AV_DISPOSITION_VISUAL_IMPAIRED | AV_DISPOSITION_COMMENT | AV_DISPOSITION_ORIGINAL;

bool IsLossless(AVCodecID codec) {
  const AVCodecDescriptor* descriptor = avcodec_descriptor_get(codec);
  return descriptor != nullptr && (descriptor->props & AV_CODEC_PROP_LOSSLESS) != 0;
}

// The muxer writes a bit depth from the decoder's sample format when it
// knows no better, which for AC-3, E-AC-3 or DTS says 32 bits of a float
// the stream never held. PCM has its depth in its codec; a lossless codec
// keeps the depth its decoder read from the stream; lossy audio gets none.
void KeepOnlyATrueBitDepth(AVCodecParameters& codec) {
  if (codec.codec_type != AVMEDIA_TYPE_AUDIO || av_get_bits_per_sample(codec.codec_id) != 0) return;
  codec.format = AV_SAMPLE_FMT_NONE;
  if (!IsLossless(codec.codec_id)) codec.bits_per_raw_sample = 0;
}

}  // namespace

AVRational PixelShape(const AVStream& stream) {
  if (stream.sample_aspect_ratio.num > 0 && stream.sample_aspect_ratio.den > 0) return stream.sample_aspect_ratio;
  const AVRational coded = stream.codecpar->sample_aspect_ratio;
  if (coded.num > 0 && coded.den > 0) return coded;
  return AVRational{0, 1};
}

void CopyTrackDescription(const AVStream& source, AVStream& target) {
  for (const char* key : {"language", "title"}) {
    const AVDictionaryEntry* entry = av_dict_get(source.metadata, key, nullptr, 0);
    if (entry != nullptr) av_dict_set(&target.metadata, key, entry->value, 0);
  }
  target.disposition = source.disposition & kTravellingFlags;
  if (source.codecpar->codec_type == AVMEDIA_TYPE_VIDEO) {
    target.sample_aspect_ratio = PixelShape(source);
    target.codecpar->sample_aspect_ratio = target.sample_aspect_ratio;
  }
  target.avg_frame_rate = source.avg_frame_rate;
  target.r_frame_rate = source.r_frame_rate;
  target.time_base = source.time_base;
  KeepOnlyATrueBitDepth(*target.codecpar);
}

void MarkDefaultTracks(const std::vector<const AVStream*>& sources, const std::vector<AVStream*>& tracks) {
  for (const AVStream* source : sources) {
    if ((source->disposition & AV_DISPOSITION_DEFAULT) != 0) return;
  }
  bool videoMarked = false;
  bool audioMarked = false;
  for (AVStream* track : tracks) {
    bool& marked = track->codecpar->codec_type == AVMEDIA_TYPE_VIDEO ? videoMarked : audioMarked;
    if (track->codecpar->codec_type != AVMEDIA_TYPE_VIDEO && track->codecpar->codec_type != AVMEDIA_TYPE_AUDIO)
      continue;
    if (marked) continue;
    track->disposition |= AV_DISPOSITION_DEFAULT;
    marked = true;
  }
}

}  // namespace quorvex::engine
