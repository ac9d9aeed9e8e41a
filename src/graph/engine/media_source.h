#ifndef QUORVEX_GRAPH_ENGINE_MEDIA_SOURCE_H_
#define QUORVEX_GRAPH_ENGINE_MEDIA_SOURCE_H_

#include <cstddef>
#include <filesystem>
#include <memory>
#include <string>

#include "graph/engine/avi_presentation_times.h"
#include "graph/engine/file_channel.h"
#include "graph/engine/libav_handles.h"
#include "graph/engine/read_damage.h"
#include "graph/engine/splice_joiner.h"
#include "platform/interrupts.h"
#include "platform/media_file.h"

namespace quorvex::engine {

// A media file opened for demuxing: its streams, and its packets in file order.
class MediaSource {
 public:
  enum class Formats { kAnyByContent, kAsfOnly };
  enum class ReadResult { kPacket, kEnd, kError };

  // Nullptr when the file is not readable media of the allowed formats; the
  // reason is told on standard error. A stop request ends probing at once.
  static std::unique_ptr<MediaSource> Open(MediaFileSystem& files, const Interrupts& interrupts,
                                           const std::filesystem::path& path, Formats formats);

  int streamCount() const { return static_cast<int>(format_->nb_streams); }
  const AVStream& stream(int index) const { return *format_->streams[index]; }
  // The whole file as the demuxer sees it: chapters, attachments.
  const AVFormatContext& container() const { return *format_; }

  // Fills `packet` with the next packet, timestamps completed as far as the
  // demuxer can. A damaged stretch is skipped rather than ending the read,
  // and reported; damage that ends the read with media still ahead is an
  // error.
  ReadResult Read(AVPacket* packet);

  // Bytes read so far and the file's size, for progress.
  int64_t bytesRead() const { return channel_->position(); }
  int64_t size() const { return channel_->size(); }
  const std::filesystem::path& path() const { return path_; }
  // Tells on standard error why reading failed, when the file itself failed.
  void ReportReadFailure() const;

 private:
  MediaSource() = default;
  // The demuxer's next packet, before any splice is joined.
  ReadResult ReadDemuxed(AVPacket* packet);
  // The demuxer's packets with AVI's presentation times worked out.
  ReadResult ReadTimed(AVPacket* packet);
  static std::nullptr_t Refuse(const std::string& name, const std::string& reason);
  // Tells why libav's call failed with `result`.
  std::nullptr_t Refuse(int result) const;

  std::filesystem::path path_;
  // Declared first so they outlive the format context that reads through them.
  std::unique_ptr<MediaFile> file_;
  std::unique_ptr<FileChannel> channel_;
  InputFormatHandle format_;
  // Declared after the context it watches.
  std::unique_ptr<ReadDamage> damage_;
  int consecutiveFailures_ = 0;
  // For MPEG transport and programme streams, whose clock restarts at a splice.
  std::unique_ptr<SpliceJoiner> joiner_;
  // For AVI video with B-frames, which carries no presentation times.
  std::unique_ptr<AviPresentationTimes> aviTimes_;
};

}  // namespace quorvex::engine

#endif  // QUORVEX_GRAPH_ENGINE_MEDIA_SOURCE_H_
