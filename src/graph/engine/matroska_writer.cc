#include "graph/engine/matroska_writer.h"

#include <algorithm>

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
#include <libavutil/mathematics.h>
}

#include "graph/engine/chapter_languages.h"
#include "graph/engine/container_extras.h"
#include "graph/engine/track_description.h"

namespace quorvex::engine {
namespace {

// What the interleaving may hold back while one stream waits for another.
// Ordinary sources stay well within both; a stream that ends early or is
// stamped far ahead would otherwise keep the rest of the file in memory.
constexpr size_t kInterleaveBytes = 4u << 20;
constexpr int64_t kInterleaveSpan = 10 * AV_TIME_BASE;

const AVOutputFormat& MatroskaFormat() {
  static const AVOutputFormat* format = av_guess_format("matroska", nullptr, nullptr);
  return *format;
}

// The earliest start among the copied streams, in microseconds; 0 when no
// stream knows its start.
int64_t EarliestStart(const std::vector<const AVStream*>& sources) {
  int64_t earliest = kNoTimestamp;
  for (const AVStream* source : sources) {
    if (source->start_time == AV_NOPTS_VALUE) continue;
    const int64_t start = av_rescale_q(source->start_time, source->time_base, AV_TIME_BASE_Q);
    if (earliest == kNoTimestamp || start < earliest) earliest = start;
  }
  return earliest == kNoTimestamp ? 0 : earliest;
}

}  // namespace

namespace {

bool MatroskaHasCodecId(const AVCodecParameters& codec) {
  if (codec.codec_id == AV_CODEC_ID_NONE) return false;
  if (avformat_query_codec(&MatroskaFormat(), codec.codec_id, FF_COMPLIANCE_NORMAL) == 1) return true;
  const AVCodecTag* const* tags = nullptr;
  if (codec.codec_type == AVMEDIA_TYPE_VIDEO) {
    static const AVCodecTag* const videoTags[] = {avformat_get_riff_video_tags(), nullptr};
    tags = videoTags;
  } else if (codec.codec_type == AVMEDIA_TYPE_AUDIO) {
    static const AVCodecTag* const audioTags[] = {avformat_get_riff_audio_tags(), nullptr};
    tags = audioTags;
  } else {
    return false;
  }
  return av_codec_get_tag(tags, codec.codec_id) != 0;
}

// Whether the muxer takes the stream's description: a stream whose picture
// size or sample rate the splitter never learnt (its parameter sets lie
// past the probed stretch) would fail the whole file's header.
bool MatroskaTakesTrack(const AVCodecParameters& codec, AVRational timeBase) {
  AVFormatContext* raw = nullptr;
  if (avformat_alloc_output_context2(&raw, nullptr, "matroska", nullptr) < 0) return false;
  OutputFormatHandle format(raw);
  AVStream* target = avformat_new_stream(raw, nullptr);
  if (target == nullptr || avcodec_parameters_copy(target->codecpar, &codec) < 0) return false;
  target->codecpar->codec_tag = 0;
  target->time_base = timeBase;
  if (avio_open_dyn_buf(&raw->pb) < 0) return false;
  const bool taken = avformat_write_header(raw, nullptr) >= 0;
  uint8_t* written = nullptr;
  avio_close_dyn_buf(raw->pb, &written);
  raw->pb = nullptr;
  av_free(written);
  return taken;
}

// The codec parameters the track is written with: the source's own, or
// those of its repacked form.
bool DescribeTrack(const AVStream& source, StreamRepack* repack, AVCodecParameters* codec) {
  if (repack != nullptr) return repack->DescribeOutput(source, codec);
  return avcodec_parameters_copy(codec, source.codecpar) >= 0;
}

}  // namespace

bool MatroskaCanHold(const AVStream& stream) {
  const std::unique_ptr<StreamRepack> repack = RepackFor(stream);
  AVCodecParameters* codec = avcodec_parameters_alloc();
  if (codec == nullptr) return false;
  const bool held = DescribeTrack(stream, repack.get(), codec) && MatroskaHasCodecId(*codec) &&
                    MatroskaTakesTrack(*codec, stream.time_base);
  avcodec_parameters_free(&codec);
  return held;
}

bool MatroskaWriter::Open(const std::filesystem::path& path, const std::vector<const AVStream*>& sources,
                          const AVFormatContext* container) {
  if (!file_.Create(path, "matroska")) return false;
  AVFormatContext* format = file_.format();
  const int64_t start = EarliestStart(sources);
  std::vector<AVStream*> targets;
  for (const AVStream* source : sources) {
    std::unique_ptr<StreamRepack> repack = RepackFor(*source);
    AVStream* target = avformat_new_stream(format, nullptr);
    if (target == nullptr || !DescribeTrack(*source, repack.get(), target->codecpar)) return false;
    target->codecpar->codec_tag = 0;
    CopyTrackDescription(*source, *target);
    targets.push_back(target);
    tracks_.push_back(Track{source, {}, av_rescale_q(start, AV_TIME_BASE_Q, source->time_base), {}, std::move(repack)});
  }
  MarkDefaultTracks(sources, targets);
  // Attachments come after the tracks, so track i stays stream i.
  if (container != nullptr && (!CopyChapters(*container, start, *format) || !CopyAttachments(*container, *format))) {
    return false;
  }
  av_dict_set(&format->metadata, "encoding_tool", "quorvex " QUORVEX_VERSION_TEXT, 0);
  // The timestamps are ours to place: one offset for every track, no shift
  // of libav's own that would move video and audio apart.
  format->avoid_negative_ts = AVFMT_AVOID_NEG_TS_DISABLED;
  AVDictionary* options = nullptr;
  // Per-cluster CRC elements are optional in Matroska and cost a third of
  // the muxing time.
  av_dict_set(&options, "write_crc32", "0", 0);
  // A cluster is built in memory before it is written; 2 MiB keeps the
  // run's memory small at Blu-ray rates and still holds a second or so.
  av_dict_set(&options, "cluster_size_limit", "2097152", 0);
  const bool initialised = avformat_init_output(format, &options) >= 0;
  av_dict_free(&options);
  if (!initialised) return false;
  // libav names itself as the file's encoder in a global tag that would
  // only repeat the muxing application.
  av_dict_set(&format->metadata, "encoder", nullptr, 0);
  if (!file_.WriteHeader(nullptr)) return false;
  for (size_t i = 0; i < tracks_.size(); ++i) tracks_[i].outputTimeBase = format->streams[i]->time_base;
  return true;
}

bool MatroskaWriter::Write(int track, AVPacket* packet) {
  Track& target = tracks_[static_cast<size_t>(track)];
  if (target.repack != nullptr) {
    if (!target.repack->Repack(packet)) return false;
    if (packet->size == 0) {  // held back for the next packet, or left out
      av_packet_unref(packet);
      return true;
    }
  }
  const auto shift = [&](int64_t time) { return time == AV_NOPTS_VALUE ? kNoTimestamp : time - target.offset; };
  const TimestampRepair::Times times = target.repair.Apply(shift(packet->pts), shift(packet->dts), packet->duration);
  packet->pts = times.pts;
  packet->dts = times.dts;
  av_packet_rescale_ts(packet, target.source->time_base, target.outputTimeBase);
  packet->stream_index = track;
  packet->pos = -1;
  if (!interleaver_) interleaver_.emplace(tracks_.size(), kInterleaveBytes, kInterleaveSpan);
  if (!interleaver_->Push(packet, target.outputTimeBase)) return false;
  return WriteDue(false);
}

bool MatroskaWriter::WriteDue(bool all) {
  if (due_ == nullptr) return false;
  if (!interleaver_) return true;
  while (all ? interleaver_->PopAny(due_.get()) : interleaver_->PopReady(due_.get())) {
    if (!file_.Write(due_.get(), false)) return false;
  }
  return true;
}

bool MatroskaWriter::Finish() {
  if (!WriteDue(true)) {
    file_.Abandon();
    return false;
  }
  if (chapterLabels_.empty()) return file_.Finish();
  return file_.Finish([this](const std::string& written) { return PatchChapterLanguages(written, chapterLabels_); });
}

}  // namespace quorvex::engine
