#ifndef QUORVEX_GRAPH_ENGINE_MEDIA_SOURCE_H_
#define QUORVEX_GRAPH_ENGINE_MEDIA_SOURCE_H_

#include <filesystem>
#include <memory>

#include "graph/engine/avi_presentation_times.h"
#include "graph/engine/file_channel.h"
#include "graph/engine/libav_handles.h"
#include "graph/engine/splice_joiner.h"

namespace quorvex::engine {

// A media file opened for demuxing: its streams, and its packets in file order.
class MediaSource {
 public:
  enum class Formats { kAnyByContent, kAsfOnly };
  enum class ReadResult { kPacket, kEnd, kError };

  // Nullptr when the file is not readable media of the allowed formats.
  static std::unique_ptr<MediaSource> Open(const std::filesystem::path& path, Formats formats);

  int streamCount() const { return static_cast<int>(format_->nb_streams); }
  const AVStream& stream(int index) const { return *format_->streams[index]; }
  // The whole file as the demuxer sees it: chapters, attachments.
  const AVFormatContext& container() const { return *format_; }

  // Fills `packet` with the next packet, timestamps completed as far as the
  // demuxer can. A damaged stretch is skipped rather than ending the read.
  ReadResult Read(AVPacket* packet);

  // Bytes read so far and the file's size, for progress.
  int64_t bytesRead() const { return channel_->position(); }
  int64_t size() const { return channel_->size(); }
  const std::filesystem::path& path() const { return path_; }

 private:
  MediaSource() = default;
  // The demuxer's next packet, before any splice is joined.
  ReadResult ReadDemuxed(AVPacket* packet);
  // The demuxer's packets with AVI's presentation times worked out.
  ReadResult ReadTimed(AVPacket* packet);

  std::filesystem::path path_;
  // Declared first so it outlives the format context that reads through it.
  std::unique_ptr<FileChannel> channel_;
  InputFormatHandle format_;
  int consecutiveFailures_ = 0;
  // For MPEG transport and programme streams, whose clock restarts at a splice.
  std::unique_ptr<SpliceJoiner> joiner_;
  // For AVI video with B-frames, which carries no presentation times.
  std::unique_ptr<AviPresentationTimes> aviTimes_;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_MEDIA_SOURCE_H_
