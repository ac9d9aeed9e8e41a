#include "graph/engine/media_source.h"

#include <string>
#include <string_view>
#include <vector>

#include "platform/diagnostics.h"

#include "graph/engine/twenty_bit_lpcm.h"

extern "C" {
#include <libavutil/dict.h>
#include <libavutil/error.h>
}

namespace quorvex::engine {
namespace {

// Real broadcast files may hide their parameter sets or first audio frame
// a few seconds in; the window is bounded in bytes too, since every packet
// read while probing stays in memory until it is written.
constexpr const char* kProbeSize = "10000000";
constexpr const char* kAnalyzeDuration = "10000000";
// Garbage in the middle of a file makes the demuxer fail a few times before
// it finds its way back; only a long run of failures is a real read error.
constexpr int kMaxConsecutiveFailures = 64;

bool HasMediaStream(const AVFormatContext& format) {
  for (unsigned i = 0; i < format.nb_streams; ++i) {
    const AVMediaType type = format.streams[i]->codecpar->codec_type;
    if (type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO || type == AVMEDIA_TYPE_SUBTITLE) return true;
  }
  return false;
}

// MPEG transport and programme streams carry their recording's clock, which
// starts again wherever two recordings were joined; the other containers
// keep one timeline per file.
bool HasRestartingClock(const AVFormatContext& format) {
  const std::string_view name = format.iformat->name;
  return name == "mpegts" || name == "mpeg";
}

std::vector<SpliceJoiner::StreamInfo> JoinerStreams(const AVFormatContext& format) {
  std::vector<SpliceJoiner::StreamInfo> streams;
  for (unsigned i = 0; i < format.nb_streams; ++i) {
    const AVStream& stream = *format.streams[i];
    const AVMediaType type = stream.codecpar->codec_type;
    streams.push_back({stream.time_base, type == AVMEDIA_TYPE_VIDEO || type == AVMEDIA_TYPE_AUDIO});
  }
  return streams;
}

}  // namespace

std::unique_ptr<MediaSource> MediaSource::Open(MediaFileSystem& files, const Interrupts& interrupts,
                                               const std::filesystem::path& path, Formats formats) {
  const std::string name = path.string();
  std::unique_ptr<MediaSource> source(new MediaSource());
  source->path_ = path;
  FileError error;
  source->file_ = files.OpenForReading(name, error);
  if (source->file_ == nullptr) return Refuse(name, error.message);
  source->channel_ = FileChannel::ForReading(*source->file_, &interrupts);
  if (source->channel_ == nullptr) return Refuse(name, "out of memory");
  if (source->channel_->size() == 0) return Refuse(name, "file is empty");

  AVFormatContext* format = avformat_alloc_context();
  if (format == nullptr) return Refuse(name, "out of memory");
  format->pb = source->channel_->io();
  format->flags |= AVFMT_FLAG_CUSTOM_IO;
  // libav's own loops ask too, between the reads of a long analysis.
  format->interrupt_callback.callback = &InterruptRequested;
  format->interrupt_callback.opaque = const_cast<Interrupts*>(&interrupts);
  // Programme streams carry a PTS only every few frames; libav derives the
  // missing ones from the following frames' decoding times.
  format->flags |= AVFMT_FLAG_GENPTS;
  const AVInputFormat* only = formats == Formats::kAsfOnly ? av_find_input_format("asf") : nullptr;

  AVDictionary* options = nullptr;
  av_dict_set(&options, "probesize", kProbeSize, 0);
  av_dict_set(&options, "analyzeduration", kAnalyzeDuration, 0);
  // The format is recognised by content alone, never by the file's name.
  const int opened = avformat_open_input(&format, "", only, &options);
  av_dict_free(&options);
  // avformat_open_input freed the context on failure.
  if (opened < 0) return source->Refuse(opened);
  source->format_.reset(format);
  // Probing reads the first packets already; damage among them counts too.
  source->damage_ = std::make_unique<ReadDamage>(*format, path.string(), source->size());

  const int analysed = avformat_find_stream_info(format, nullptr);
  // Interrupted, the streams found so far still make a graph whose run
  // ends at once as the user's abort.
  if (analysed < 0 && !source->channel_->interrupted()) return source->Refuse(analysed);
  if (!HasMediaStream(*format)) return source->Refuse(AVERROR_STREAM_NOT_FOUND);
  DescribeTwentyBitBlurayLpcm(files, interrupts, path, format);
  source->aviTimes_ = AviPresentationTimes::For(*format);
  if (HasRestartingClock(*format)) source->joiner_ = std::make_unique<SpliceJoiner>(JoinerStreams(*format));
  return source;
}

std::nullptr_t MediaSource::Refuse(const std::string& name, const std::string& reason) {
  Diagnose(name + ": " + reason);
  return nullptr;
}

std::nullptr_t MediaSource::Refuse(int result) const {
  const std::string name = path_.string();
  if (channel_->failed()) return Refuse(name, channel_->error().message);
  if (channel_->interrupted()) return nullptr;  // the user knows
  switch (result) {
    case AVERROR_INVALIDDATA:
      return Refuse(name, "unknown or unsupported format");
    case AVERROR_STREAM_NOT_FOUND:
      return Refuse(name, "no media streams found");
    case AVERROR_DECODER_NOT_FOUND:
      return Refuse(name, "no decoder for a stream's codec");
    default:
      break;
  }
  char text[AV_ERROR_MAX_STRING_SIZE] = {};
  av_strerror(result, text, sizeof text);
  return Refuse(name, text);
}

void MediaSource::ReportReadFailure() const {
  if (channel_->failed()) Diagnose(path_.string() + ": " + channel_->error().message);
}

namespace {

// Reads through a stage that may hold packets back until it knows their
// times (Push answers false) and gives them out later, in order (Pop).
template <class Stage, class ReadNext>
MediaSource::ReadResult ReadThrough(Stage& stage, AVPacket* packet, ReadNext readNext) {
  for (;;) {
    if (stage.Pop(packet)) return MediaSource::ReadResult::kPacket;
    const MediaSource::ReadResult result = readNext(packet);
    if (result == MediaSource::ReadResult::kPacket) {
      if (stage.Push(packet)) return result;
      continue;
    }
    if (result == MediaSource::ReadResult::kEnd) {
      stage.Finish();
      if (stage.Pop(packet)) return MediaSource::ReadResult::kPacket;
    }
    return result;
  }
}

}  // namespace

MediaSource::ReadResult MediaSource::Read(AVPacket* packet) {
  if (joiner_ == nullptr) return ReadTimed(packet);
  return ReadThrough(*joiner_, packet, [this](AVPacket* next) { return ReadTimed(next); });
}

MediaSource::ReadResult MediaSource::ReadTimed(AVPacket* packet) {
  if (aviTimes_ == nullptr) return ReadDemuxed(packet);
  return ReadThrough(*aviTimes_, packet, [this](AVPacket* next) { return ReadDemuxed(next); });
}

MediaSource::ReadResult MediaSource::ReadDemuxed(AVPacket* packet) {
  for (;;) {
    const int result = av_read_frame(format_.get(), packet);
    if (result >= 0) {
      consecutiveFailures_ = 0;
      damage_->PacketRead(*packet);
      return ReadResult::kPacket;
    }
    // A failed read ends the input too, but it is no end of the data.
    if (channel_->failed()) return ReadResult::kError;
    if (result == AVERROR_EOF || avio_feof(format_->pb)) {
      return damage_->EndIsClean() ? ReadResult::kEnd : ReadResult::kError;
    }
    if (result == AVERROR(EAGAIN)) continue;
    damage_->ReadFailed(result);
    if (++consecutiveFailures_ > kMaxConsecutiveFailures) {
      damage_->GaveUp();
      return ReadResult::kError;
    }
  }
}

}  // namespace quorvex::engine
